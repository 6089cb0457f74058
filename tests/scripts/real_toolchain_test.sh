#!/usr/bin/env bash
# With the game's real tool chain and the engine's own game code (../shared/ioq3 beside the
# checkout): tessarin-build makes the same module, byte for byte, as the same commands run by hand,
# a second Build compiles nothing, and after a header is touched it compiles exactly the sources
# that the real preprocessor says include it.
# Usage: real_toolchain_test.sh SOURCE_DIR TESSARIN_BUILD
# Exit 77 (a skip for CTest) with a line saying why when the tools or the code are not there.
set -euo pipefail
source_dir=$1
tessarin_build=$(realpath "$2")
setup=$source_dir/../shared/ioq3/setup.sh
if [ ! -f "$setup" ]; then
  echo "SKIPPED: no engine code and tools beside the checkout ($setup is absent)"
  exit 77
fi
tools=$(bash "$setup" | sed -n 's/^tools: \([^ ]*\) .*/\1/p')
engine=$(bash "$setup" | sed -n 's/^game code: \([^ ]*\) .*/\1/p')
[ -x "$tools/q3lcc" ] && [ -x "$tools/q3asm" ] && [ -d "$engine/game" ] || {
  echo "FAILED: $setup gave no tools or no game code"
  exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache HOME=$work/home
mkdir -p "$HOME" "$work/vm"
cp -r "$engine/game" "$engine/qcommon" "$work/"

# The bot library's headers are not part of the shared code, so the bot AI sources cannot be
# compiled; the module gets stubs of the eight functions the rest of the game calls instead.
cat >"$work/game/bot_stubs.c" <<'EOF'
#include "g_local.h"
int BotAISetup(int restart) { return qtrue; }
int BotAIShutdown(int restart) { return qtrue; }
int BotAILoadMap(int restart) { return qtrue; }
int BotAISetupClient(int client, struct bot_settings_s *settings, qboolean restart) { return qfalse; }
int BotAIShutdownClient(int client, qboolean restart) { return qtrue; }
int BotAIStartFrame(int time) { return qtrue; }
void BotTestAAS(vec3_t origin) {}
void BotInterbreedEndMatch(void) {}
EOF

# The project's files in the order the build takes them, by file name; the syscalls' .asm last.
mapfile -t sources < <(cd "$work/game" &&
  ls ./*.c ../qcommon/q_math.c ../qcommon/q_shared.c | sed 's|^\./||' |
  grep -Ev '^(ai_.*|g_syscalls|g_rankings)\.c$' | awk -F/ '{ print $NF, $0 }' | sort | cut -d' ' -f2)
{
  for source in "${sources[@]}"; do echo "SOURCE=${source//\//\\}"; done
  echo "SOURCE=g_syscalls.asm"
} >"$work/game/qagame.tsp"
echo 'Project: "qagame"=game\qagame.tsp - Package Owner=<4>' >"$work/engine.tsw"

lcc_arguments="-DQ3_VM -S -Wf-target=bytecode -Wf-g"
build() {
  "$tessarin_build" --set "lcclocation=$tools/q3lcc" --set "q3asmlocation=$tools/q3asm" \
    --set "lcclarguments=$lcc_arguments" --set "q3asmlarguments=-v -m" \
    --set "outputlocation=$work/vm/" "$@" "$work/engine.tsw" qagame >"$work/build.log" 2>&1
}

# By hand: one compile per source in the project's folder, then the module's entry point first.
mkdir "$work/by-hand"
for source in "${sources[@]}"; do
  (cd "$work/by-hand" && "$tools/q3lcc" $lcc_arguments "$work/game/$source" 2>/dev/null)
done
rest=()
for source in "${sources[@]}"; do
  name=$(basename "$source" .c)
  [ "$name" = g_main ] || rest+=("$name.asm")
done
(cd "$work/by-hand" && "$tools/q3asm" -o by-hand g_main.asm "${rest[@]}" "$work/game/g_syscalls.asm" >/dev/null)

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

build || { cat "$work/build.log"; fail "the first build did not succeed"; }
cmp -s "$work/vm/qagame.qvm" "$work/by-hand/by-hand.qvm" ||
  fail "qagame.qvm differs from the module the same commands make by hand"

# The compiled files tessarin-build keeps, with their modification times.
compiled_files() { find "$XDG_CACHE_HOME/Tessarin/build" -name '*.asm' -printf '%f %T@\n' | sort; }

before=$(compiled_files)
module_before=$(stat -c %Y.%i "$work/vm/qagame.qvm")
sleep 1
build || { cat "$work/build.log"; fail "a second build with nothing changed did not succeed"; }
[ "$(compiled_files)" = "$before" ] || fail "a second build with nothing changed compiled again"
[ "$(stat -c %Y.%i "$work/vm/qagame.qvm")" = "$module_before" ] ||
  fail "a second build with nothing changed made the module again"

# Touch a header that only some sources include; the real preprocessor says which.
header=$work/game/bg_local.h
expected=$(for source in "${sources[@]}"; do
  (cd "$work/game" && "$tools/q3cpp" -M -DQ3_VM "$source" 2>/dev/null) |
    sed -n 's/^[^ ]*\.\$O: //p' | while read -r dependency; do
    if [ "$(cd "$work/game" && realpath "$dependency")" = "$header" ]; then basename "$source" .c; fi
  done
done | sort -u)
[ -n "$expected" ] || fail "the preprocessor names no includer of bg_local.h"
before=$(compiled_files)
sleep 1
touch "$header"
build || { cat "$work/build.log"; fail "the build after touching bg_local.h did not succeed"; }
recompiled=$(comm -23 <(compiled_files) <(echo "$before") | cut -d' ' -f1 | sed 's/\.asm$//' | sort -u)
[ "$recompiled" = "$expected" ] ||
  fail "after touching bg_local.h it compiled [$(echo $recompiled)], the includers are [$(echo $expected)]"
cmp -s "$work/vm/qagame.qvm" "$work/by-hand/by-hand.qvm" ||
  fail "qagame.qvm differs from the module made by hand after the incremental build"

# cgame and ui include the renderer's and the client's headers, which the shared code leaves out.
echo "not built: cgame, ui (../renderercommon/tr_types.h and ../client/keycodes.h are not in the shared code)"
((failures == 0)) && echo "qagame: same module as by hand, nothing rebuilt when nothing changed, exactly the includers rebuilt"
((failures == 0))
