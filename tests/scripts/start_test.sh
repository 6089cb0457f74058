#!/usr/bin/env bash
# scripts/start.sh in a copy of the repository whose setup and program are stand-ins that record
# their runs: without a display it stops at once, naming the way to the tests, and builds
# nothing; with one it builds and starts the program on the example workspace, telling it to leave
# the desktop's registration of workspaces alone unless --register asks for it.
# Usage: tests/scripts/start_test.sh START_SCRIPT
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
faults=0
fault() {
  echo "$1"
  faults=$((faults + 1))
}

mkdir -p "$work/repo/scripts" "$work/repo/out/app/src/app"
cp "$script" "$work/repo/scripts/start.sh"
cat >"$work/repo/scripts/setup.sh" <<'STANDIN'
#!/usr/bin/env bash
echo "setup $*" >>"$(dirname "$0")/../runs"
STANDIN
cat >"$work/repo/out/app/src/app/tessarin" <<'STANDIN'
#!/usr/bin/env bash
echo "tessarin $* register=${TESSARIN_REGISTER_DESKTOP-unset}" >>"$(dirname "$0")/../../../../runs"
STANDIN
chmod +x "$work/repo/scripts/"*.sh "$work/repo/out/app/src/app/tessarin"

# Runs start.sh with the display variables given (NAME=VALUE...) and then its own arguments, the
# rest of the environment kept.
start() {
  rm -f "$work/repo/runs"
  local variables=()
  while [ $# -gt 0 ] && [[ $1 == *=* ]]; do
    variables+=("$1")
    shift
  done
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u TESSARIN_REGISTER_DESKTOP "${variables[@]}" \
    bash "$work/repo/scripts/start.sh" "$@" >"$work/out" 2>&1 </dev/null
}

start
status=$?
[ "$status" -ne 0 ] || fault "without a display start.sh exits 0"
[ ! -e "$work/repo/runs" ] || fault "without a display start.sh still ran: $(cat "$work/repo/runs")"
grep -q "graphical session" "$work/out" || fault "without a display start.sh does not say a graphical session is needed: $(cat "$work/out")"
grep -q "scripts/test.sh" "$work/out" || fault "without a display start.sh does not name scripts/test.sh: $(cat "$work/out")"

for display in DISPLAY=:7 WAYLAND_DISPLAY=wayland-1 QT_QPA_PLATFORM=offscreen; do
  start "$display" || fault "with $display start.sh fails: $(cat "$work/out")"
  grep -q "^setup app" "$work/repo/runs" 2>/dev/null || fault "with $display start.sh does not build"
  grep -qx "tessarin $work/repo/examples/mymod/mymod.tsw register=0" "$work/repo/runs" 2>/dev/null ||
    fault "with $display start.sh does not start the program on the example workspace, registration off"
done
start DISPLAY=:7 --register || fault "start.sh --register fails: $(cat "$work/out")"
grep -qx "tessarin $work/repo/examples/mymod/mymod.tsw register=1" "$work/repo/runs" 2>/dev/null ||
  fault "start.sh --register does not let the program register itself"
start DISPLAY=:7 --bogus && fault "start.sh takes an unknown option"

if ((faults > 0)); then
  echo "$faults start.sh fault(s)"
  exit 1
fi
echo "start.sh stops without a display and starts with one."
