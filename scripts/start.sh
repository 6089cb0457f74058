#!/usr/bin/env bash
# Sets everything up, builds, and starts Tessarin on the example workspace.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh app -DTESSARIN_TESTS=OFF -DTESSARIN_BENCH=OFF
exec out/app/src/app/tessarin "$PWD/examples/mymod/mymod.tsw"
