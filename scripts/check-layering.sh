#!/usr/bin/env bash
# Checks the shape of src/: every folder is a layer (given top first), every #include "..." of a
# folder names a header of its own folder or of a folder below it, and the README's layout table
# lists every folder. Prints each fault as file:line and exits 1 when there is one.
# Usage: scripts/check-layering.sh SOURCE_DIR LAYER...   (top layer first)
set -uo pipefail
root=$1
shift
layers=("$@")
cd "$root" || exit 2

declare -A rank     # folder -> position in the line, 0 at the top
declare -A home     # header file name -> folder that holds it
faults=0
fault() {
  echo "$1"
  faults=$((faults + 1))
}

for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

for dir in src/*/; do
  folder=$(basename "$dir")
  [ -n "${rank[$folder]+set}" ] || fault "src/$folder: not in the layer list (TESSARIN_LAYERS in src/CMakeLists.txt)"
  grep -Eq "^src/$folder/ " README.md || fault "README.md: the layout table does not list src/$folder/"
done
for folder in "${layers[@]}"; do
  [ -d "src/$folder" ] || fault "src/CMakeLists.txt: the layer $folder has no folder src/$folder"
done

while IFS= read -r header; do
  name=$(basename "$header")
  folder=$(basename "$(dirname "$header")")
  if [ -n "${home[$name]+set}" ]; then
    fault "$header: the name $name is also used in src/${home[$name]}, so an include of it is ambiguous"
  fi
  home[$name]=$folder
done < <(find src -mindepth 2 -name '*.h' | sort)

while IFS=: read -r file line include; do
  folder=$(cut -d/ -f2 <<<"$file")
  name=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$include")
  target=${home[$(basename "$name")]-}
  [ -n "$target" ] || continue # not one of ours
  [ -n "${rank[$folder]+set}" ] && [ -n "${rank[$target]+set}" ] || continue
  if ((rank[$target] < rank[$folder])); then
    fault "$file:$line: $folder includes $name of $target, which is above it"
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src --include='*.h' --include='*.cpp')

if ((faults > 0)); then
  echo "$faults layering fault(s)"
  exit 1
fi
echo "Layering holds: ${layers[*]}"
