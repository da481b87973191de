#!/usr/bin/env bash
# Installs what is needed, builds, starts the indicator simulator, makes the demo program folder ./demo
# (once; its selected indicator model follows the simulator's device on every start), with video from the
# test-pattern card, and runs the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo="${DEMO_FOLDER:-demo}"

coproc SIM { exec ./build/indicator-sim --demo; }
trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
read -r device <&"${SIM[0]}"
echo "indicator simulator on $device"

if [ -f "$demo/Pcomm.dll" ]; then
    sqlite3 "$demo/Para.wdv" "UPDATE Com_parameter SET Commname = '$device' WHERE 是否选择"
else
    ./build/weight --init "$demo" --port "$device"
fi
# The demo's cameras are the built-in test pattern, with video on (unless the demo's settings chose otherwise).
if ! grep -qi '^\[Video\]' "$demo/Option.ini"; then
    printf '[Video]\r\nVideo=1\r\nCard=TestPattern\r\n' >> "$demo/Option.ini"
fi
./build/weight --folder "$demo"
