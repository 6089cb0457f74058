#!/usr/bin/env bash
# Installs what the build needs (Debian 12, as root or with sudo) and builds into out/<kind>.
# Usage: scripts/setup.sh <kind> [extra cmake options...]   (kind: app, test, asan, ...)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev ccache fonts-dejavu-core poppler-utils
          clang-format-14 librsvg2-bin file dpkg-dev desktop-file-utils clangd
          libpcre2-dev ripgrep clang-14 libclang-rt-14-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Paths inside the checkout reach the compiler cache relative to the build folder, so a second
# checkout (a clean clone, a worktree) builds from the cache of the first.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
kind=${1:-app}
shift || true
build_dir=out/$kind
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
