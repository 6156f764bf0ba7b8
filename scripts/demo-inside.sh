#!/usr/bin/env bash
# The demo's body; runs inside scripts/private-net (see scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-private-net
scripts/wine-run --prepare
out=build/demo
mkdir -p "$out"

echo
echo "=== Aerofly FS 2 plug-in: kinemora_aerofly_fs_2.dll under Wine, driven by kinemora-host"
echo "=== (the built-in flight from 95 s: into the first turn, to the left), 6 s at 60 frames a second"
build/linux/bin/kinemora-listen --count 360 --timeout 60 --csv "$out/aerofly.csv" &
listener=$!
sleep 0.3
scripts/wine-run build/win64/bin/kinemora-host.exe build/win64/bin/kinemora_aerofly_fs_2.dll \
  --start 95 --duration 6 --rate 60 --quiet
wait $listener
echo "(recorded in $out/aerofly.csv)"

echo
echo "=== MSFS bridge: kinemora_mfs_2020.exe under Wine, with the SimConnect stand-in beside it,"
echo "=== fed by kinemora-simulator (the built-in flight from 145 s: into the right turn), 6 s at 30 deliveries a second"
setsid build/linux/bin/kinemora-simulator --start 145 > "$out/simulator.log" 2>&1 < /dev/null &
simulator=$!
build/linux/bin/kinemora-listen --count 180 --timeout 90 --csv "$out/msfs.csv" &
listener=$!
setsid scripts/wine-run build/win64/bin/kinemora_mfs_2020.exe > "$out/bridge.out" 2>&1 &
bridge=$!
wait $listener
kill -- -$bridge -$simulator 2>/dev/null || true
wait 2>/dev/null || true
echo "(recorded in $out/msfs.csv; the bridge printed:)"
tr -d '\r' < "$out/bridge.out" | head -c 400
echo

echo
echo "=== Plots of both recordings"
tools/plot/kinemora-plot "$out/aerofly.csv" --output "$out/aerofly.svg" \
  --title "Aerofly FS 2 plug-in: into a left turn"
tools/plot/kinemora-plot "$out/msfs.csv" --output "$out/msfs.svg" --title "MSFS bridge: into a right turn"
echo "$out/aerofly.svg and $out/msfs.svg"
