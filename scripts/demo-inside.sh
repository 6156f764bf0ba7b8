#!/usr/bin/env bash
# The demo's body; runs inside scripts/private-net (see scripts/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/check-private-net
scripts/wine-run --prepare
build/linux/bin/kinemora-listen --count 3 --timeout 60 &
listener=$!
sleep 0.5
k01=4b30312c$(printf '%080d' 0)
k2=4b322c$(printf '%0104d' 0)
scripts/wine-run build/win64/bin/send_probe.exe "$k01" "$k2" "$k01"
wait $listener
