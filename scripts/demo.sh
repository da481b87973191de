#!/usr/bin/env bash
# Installs what is needed, builds, creates the demo program folder ./demo (once) and starts the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo="${DEMO_FOLDER:-demo}"
[ -f "$demo/Pcomm.dll" ] || ./build/weight --init "$demo"
exec ./build/weight --folder "$demo"
