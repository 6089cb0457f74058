#!/usr/bin/env bash
# Checks the shape of src/ against the dependencies each folder declares in its CMakeLists.txt
# (tessarin_folder_library(NAME DEPENDS folder...)): every #include "..." or <...> of a header of
# another folder, and every forward declaration of another folder's class, names a declared folder;
# every declared folder is used; the declarations form no circle; a header name lives in one folder
# only; and the README's layout table lists every folder. Prints each fault (file:line where there
# is one) and exits 1 when there is one.
# Usage: scripts/check-layering.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 2

source_forms=(--include='*.h' --include='*.hh' --include='*.hpp' --include='*.hxx' --include='*.inl'
              --include='*.ipp' --include='*.c' --include='*.cc' --include='*.cpp' --include='*.cxx')
declare -A depends # folder -> " a b c " (the folders it declares)
declare -A used    # "folder>other" -> set when folder uses other
declare -A home    # header file name -> folder that holds it
declare -A defined # class name -> folders that define it at namespace level (" a b ")
folders=()
faults=0
fault() {
  echo "$1"
  faults=$((faults + 1))
}

# The declarations: the words after DEPENDS up to QT or the closing parenthesis.
for dir in src/*/; do
  dir=${dir%/}
  folder=${dir#src/}
  folders+=("$folder")
  grep -Eq "^src/$folder/ " README.md || fault "README.md: the layout table does not list src/$folder/"
  declaration=$(tr '\n' ' ' <"$dir/CMakeLists.txt" 2>/dev/null)
  if [[ $declaration =~ tessarin_folder_library\(([^\)]*)\) ]]; then
    words=" ${BASH_REMATCH[1]} "
    words=${words#* $folder }
    list=""
    if [[ $words =~ ^[[:space:]]*DEPENDS[[:space:]]+(.*)$ ]]; then
      for word in ${BASH_REMATCH[1]}; do
        [ "$word" = QT ] && break
        list+="$word "
      done
    fi
    depends[$folder]=" $list"
  else
    fault "$dir/CMakeLists.txt: no tessarin_folder_library($folder ...) declaration"
    depends[$folder]=" "
  fi
done
for folder in "${folders[@]}"; do
  for other in ${depends[$folder]}; do
    [ -d "src/$other" ] || fault "src/$folder/CMakeLists.txt: declares $other, which is no folder of src/"
  done
done

# Where each header lives, and which folders define each class at namespace level.
while IFS= read -r header; do
  name=${header##*/}
  folder=${header#src/}
  folder=${folder%%/*}
  [ -n "${home[$name]+set}" ] &&
    fault "$header: the name $name is also used in src/${home[$name]}, so an include of it is ambiguous"
  home[$name]=$folder
done < <(find src -mindepth 2 -type f \( -name '*.h' -o -name '*.hh' -o -name '*.hpp' -o -name '*.hxx' \
  -o -name '*.inl' -o -name '*.ipp' \) | sort)
while IFS=: read -r file _ text; do
  folder=${file#src/}
  folder=${folder%%/*}
  [[ $text =~ ^(class|struct)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*) ]] || continue
  defined[${BASH_REMATCH[2]}]+=" $folder "
done < <(grep -rnE '^(class|struct)[[:space:]]+[A-Za-z_][A-Za-z0-9_]*([[:space:]]+final)?[[:space:]]*($|[:{])' src \
  "${source_forms[@]}")

# Uses another folder: allowed when declared; remembered, so that unused declarations show.
check_use() { # file line folder other what
  [ "$4" = "$3" ] && return
  used["$3>$4"]=1
  [[ ${depends[$3]} == *" $4 "* ]] ||
    fault "$1:$2: $3 $5 of $4, which src/$3/CMakeLists.txt does not declare"
}
while IFS=: read -r file line text; do
  folder=${file#src/}
  folder=${folder%%/*}
  [[ $text =~ include[[:space:]]*[\<\"]([^\>\"]+)[\>\"] ]] || continue
  name=${BASH_REMATCH[1]##*/}
  [ -n "${home[$name]+set}" ] || continue # not one of ours
  check_use "$file" "$line" "$folder" "${home[$name]}" "includes $name"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' src "${source_forms[@]}")
while IFS=: read -r file line text; do
  folder=${file#src/}
  folder=${folder%%/*}
  [[ $text =~ ^[[:space:]]*(class|struct)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*\; ]] || continue
  owners=${defined[${BASH_REMATCH[2]}]-}
  [ -n "$owners" ] || continue # not one of ours
  [[ $owners == *" $folder "* ]] && continue
  owner=${owners# }
  owner=${owner%% *}
  for candidate in $owners; do # a name defined in several folders: any declared one will do
    [[ ${depends[$folder]} == *" $candidate "* ]] && owner=$candidate
  done
  check_use "$file" "$line" "$folder" "$owner" "declares class ${BASH_REMATCH[2]}"
done < <(grep -rnE '^[[:space:]]*(class|struct)[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*;' src "${source_forms[@]}")

for folder in "${folders[@]}"; do
  for other in ${depends[$folder]}; do
    [ -n "${used[$folder>$other]+set}" ] ||
      fault "src/$folder/CMakeLists.txt: declares $other but includes nothing of it"
  done
done

# No circle: a depth-first walk that meets a folder still on its path has found one.
declare -A state # folder -> 1 while on the path, 2 when done
walk() { # folder path
  state[$1]=1
  local other
  for other in ${depends[$1]}; do
    [ -d "src/$other" ] || continue
    if [ "${state[$other]-0}" = 1 ]; then
      fault "src/$1/CMakeLists.txt: the declared dependencies form a circle: $2 -> $other"
    elif [ "${state[$other]-0}" = 0 ]; then
      walk "$other" "$2 -> $other"
    fi
  done
  state[$1]=2
}
for folder in "${folders[@]}"; do
  [ "${state[$folder]-0}" = 0 ] && walk "$folder" "$folder"
done

if ((faults > 0)); then
  echo "$faults layering fault(s)"
  exit 1
fi
echo "Layering holds: every include and forward declaration follows the declared dependencies of ${#folders[@]} folders"
