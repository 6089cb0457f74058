#!/usr/bin/env bash
# Installs a build into a temporary prefix and packs it as a .deb, then checks both: the programs,
# the desktop entry, the icons, the MIME type, the README, the copyright and the example workspace
# in their places under the prefix, and the package's control data and contents. Prints each fault and exits 1 when there is one.
# Usage: scripts/check-install.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
faults=0
fault() {
  echo "$1"
  faults=$((faults + 1))
}

icons=(16 24 32 48 64 128 256)
files=(bin/tessarin bin/tessarin-build share/applications/tessarin.desktop
       share/mime/packages/tessarin-workspace.xml share/icons/hicolor/scalable/apps/tessarin.svg)
for size in "${icons[@]}"; do files+=("share/icons/hicolor/${size}x${size}/apps/tessarin.png"); done
doc=share/doc/tessarin
files+=("$doc/README.md" "$doc/copyright" share/tessarin/examples/mymod/mymod.tsw)

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 || fault "cmake --install failed: $(cat "$work/install.log")"
for file in "${files[@]}"; do
  [ -f "$work/prefix/$file" ] || fault "not installed: $file"
done
for program in tessarin tessarin-build; do
  [ -x "$work/prefix/bin/$program" ] || fault "not executable: bin/$program"
done
for size in "${icons[@]}"; do
  file "$work/prefix/share/icons/hicolor/${size}x${size}/apps/tessarin.png" | grep -q "PNG image data, $size x $size" ||
    fault "the ${size}x${size} icon is not a $size by $size PNG"
done
entry=$work/prefix/share/applications/tessarin.desktop
grep -qx "Exec=tessarin %f" "$entry" || fault "the desktop entry does not run tessarin with the file"
grep -qx "Icon=tessarin" "$entry" || fault "the desktop entry does not name the icon"
grep -qx "MimeType=application/x-tessarin-workspace;" "$entry" || fault "the desktop entry does not open workspaces"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || fault "the desktop entry is not valid"
fi
"$work/prefix/bin/tessarin-build" --help >/dev/null 2>&1 || fault "the installed tessarin-build does not run"
grep -q "<comment>Tessarin workspace</comment>" "$work/prefix/share/mime/packages/tessarin-workspace.xml" ||
  fault "the MIME type does not call workspaces \"Tessarin workspace\""

# The copyright file in Debian's machine-readable format: its Format line, and a copyright and a
# licence in every Files paragraph.
copyright=$work/prefix/$doc/copyright
if [ -f "$copyright" ]; then
  [ "$(head -n 1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fault "the copyright file does not start with the machine-readable format's Format line"
  paragraphs=$(awk -v RS= '/(^|\n)Files:/ { files++; if (/\nCopyright:/ && /\nLicense:/) whole++ }
                          END { print files + 0, whole + 0 }' "$copyright")
  read -r files_paragraphs whole_paragraphs <<<"$paragraphs"
  ((files_paragraphs > 0 && files_paragraphs == whole_paragraphs)) ||
    fault "the copyright file has a Files paragraph without Copyright or License (or none)"
  # Tessarin's own files are under the GPL, version 2 or later, whose terms a stand-alone License
  # paragraph gives.
  awk -v RS= '/^Files: \*\n/' "$copyright" | grep -qx "License: GPL-2.0+" ||
    fault "the copyright file does not put Tessarin's own files under GPL-2.0+"
  awk -v RS= 'index($0, "License: GPL-2.0+\n ") == 1' "$copyright" | grep -q "common-licenses/GPL-2" ||
    fault "the copyright file does not give the GPL-2.0+ terms in a License paragraph"
fi

# Every project of the installed example and every file its projects list are installed.
example=$work/prefix/share/tessarin/examples/mymod
if [ -f "$example/mymod.tsw" ]; then
  while IFS= read -r project; do
    project=${project//\\//}
    [ -f "$example/$project" ] || { fault "the example's project $project is not installed"; continue; }
    folder=$(dirname "$example/$project")
    while IFS= read -r source; do
      source=${source//\\//}
      [ -f "$folder/$source" ] || fault "the example's file $source of $project is not installed"
    done < <(sed -n 's/\r$//; s/^SOURCE=//p' "$example/$project")
  done < <(sed -n 's/\r$//; s/^Project: "[^"]*"=\(.*\) - Package Owner.*$/\1/p' "$example/mymod.tsw")
fi

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 || fault "cpack failed: $(cat "$work/cpack.log")"
deb=$(find "$work/package" -maxdepth 1 -name '*.deb' | head -n 1)
if [ -z "$deb" ]; then
  fault "cpack made no .deb"
else
  [ "$(dpkg-deb -f "$deb" Package)" = tessarin ] || fault "the package is not named tessarin"
  [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fault "the package's architecture is not this machine's"
  depends=$(dpkg-deb -f "$deb" Depends)
  names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/:.*//; s/ //g' | grep -v '^$')
  for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6svg6; do
    grep -qxF "$library" <<<"$names" || fault "the package does not depend on $library: $depends"
  done
  # Every package it depends on is one this Debian has (the build installed them all).
  for name in $names; do
    dpkg-query -W "$name" >/dev/null 2>&1 || fault "the package depends on $name, which this Debian does not have"
  done
  contents=$(dpkg-deb -c "$deb")
  for file in "${files[@]}"; do
    grep -q "\./usr/$file\$" <<<"$contents" || fault "the package does not hold /usr/$file"
  done
fi

if ((faults > 0)); then
  echo "$faults install fault(s)"
  exit 1
fi
echo "Installed tree and package hold: ${#files[@]} files; Depends: $depends"
