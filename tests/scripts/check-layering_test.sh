#!/usr/bin/env bash
# The layering check on small trees: a sound one passes, and each kind of fault is named.
# Usage: tests/scripts/check-layering_test.sh CHECK_SCRIPT
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

# A tree of three folders: low <- mid <- top.
make_tree() {
  rm -rf "$tree"/*
  mkdir -p "$tree"/src/{low,mid,top}
  printf 'src/low/ x\nsrc/mid/ x\nsrc/top/ x\n' >"$tree/README.md"
  echo 'tessarin_folder_library(low QT Core)' >"$tree/src/low/CMakeLists.txt"
  echo 'tessarin_folder_library(mid DEPENDS low)' >"$tree/src/mid/CMakeLists.txt"
  printf 'tessarin_folder_library(top\n  DEPENDS mid low QT Widgets)\n' >"$tree/src/top/CMakeLists.txt"
  printf 'class Low {};\n' >"$tree/src/low/Low.h"
  printf '#include "Low.h"\nclass Mid {};\n' >"$tree/src/mid/Mid.h"
  printf '#include <Mid.h>\n#include "Low.h"\n#include <vector>\nclass Top {};\n' >"$tree/src/top/Top.h"
}
expect() { # description, pattern the output must hold ("" for a pass)
  local output status
  output=$(bash "$check" "$tree" 2>&1)
  status=$?
  if [ -z "$2" ]; then
    [ $status -eq 0 ] && return
  elif [ $status -ne 0 ] && grep -q -- "$2" <<<"$output"; then
    return
  fi
  echo "FAILED: $1 (exit $status):"
  echo "$output"
  failures=$((failures + 1))
}

make_tree
expect "a sound tree passes" ""

make_tree
printf '#include <Top.h>\n' >"$tree/src/mid/Mid.hpp"
expect "an angle include of an undeclared folder in a .hpp" "src/mid/Mid.hpp:1: mid includes Top.h of top"

make_tree
printf '#include "Top.h"\n' >"$tree/src/low/Low.inl"
expect "a quoted include in an .inl" "src/low/Low.inl:1: low includes Top.h of top"

make_tree
printf '#pragma once\nclass Top;\n' >>"$tree/src/mid/Mid.h"
expect "a forward declaration of an undeclared folder's class" "src/mid/Mid.h:4: mid declares class Top of top"

make_tree
echo 'tessarin_folder_library(mid DEPENDS low top)' >"$tree/src/mid/CMakeLists.txt"
printf '#include "Top.h"\n' >>"$tree/src/mid/Mid.h"
expect "a circle of declarations" "form a circle"

make_tree
echo 'class Unused {};' >"$tree/src/mid/Mid.h"
expect "a declared folder that is not used" "src/mid/CMakeLists.txt: declares low but includes nothing of it"

make_tree
cp "$tree/src/low/Low.h" "$tree/src/top/Low.h"
expect "a header name in two folders" "the name Low.h is also used in src/low"

make_tree
sed -i '/src\/top\//d' "$tree/README.md"
expect "a folder missing from the README" "does not list src/top/"

if ((failures > 0)); then
  echo "$failures case(s) failed"
  exit 1
fi
echo "The layering check finds every kind of fault"
