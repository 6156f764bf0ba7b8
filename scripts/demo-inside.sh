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
echo "=== (the built-in flight from 45 s: climbing into a right turn), 6 s at 60 frames a second"
build/linux/bin/kinemora-listen --count 360 --timeout 60 --csv "$out/aerofly.csv" &
listener=$!
sleep 0.3
scripts/wine-run build/win64/bin/kinemora-host.exe build/win64/bin/kinemora_aerofly_fs_2.dll \
  --start 45 --duration 6 --rate 60 --quiet
wait $listener
echo "(recorded in $out/aerofly.csv)"
