#!/usr/bin/env bash
# Checks that every C++ file of src/, tests/, bench/ and fuzz/ is formatted as .clang-format says.
# Usage: scripts/check-format.sh SOURCE_DIR [CLANG_FORMAT]
set -euo pipefail
cd "$1"
clang_format=${2:-clang-format-14}
if ! command -v "$clang_format" >/dev/null; then
  echo "$clang_format is not installed (scripts/setup.sh installs clang-format-14)"
  exit 1
fi
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
  xargs -0 "$clang_format" --dry-run -Werror
echo "Every file is formatted."
