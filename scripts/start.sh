#!/usr/bin/env bash
# Sets everything up, builds, and starts Tessarin on the example workspace.
# Usage: scripts/start.sh [--register]
#   --register  makes this build the program that opens .tsw workspaces from the desktop (for this
#               user); without it the build leaves the desktop's registration alone.
set -euo pipefail
cd "$(dirname "$0")/.."
# Without a display the program could only fail, and only after the whole build.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MESSAGE'
Tessarin needs a graphical session, and neither DISPLAY nor WAYLAND_DISPLAY is set.
Run scripts/start.sh from a terminal of your desktop (or through ssh -X), or run the
test suite, which needs no display:

  scripts/test.sh
MESSAGE
  exit 1
fi
register=0
if [ "${1:-}" = --register ]; then
  register=1
elif [ -n "${1:-}" ]; then
  echo "Usage: scripts/start.sh [--register]" >&2
  exit 2
fi
scripts/setup.sh app -DTESSARIN_TESTS=OFF -DTESSARIN_BENCH=OFF
TESSARIN_REGISTER_DESKTOP=$register exec out/app/src/app/tessarin "$PWD/examples/mymod/mymod.tsw"
