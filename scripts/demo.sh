#!/usr/bin/env bash
# Sets everything up and shows the system at work on its built-in default,
# inside a private network namespace: the Windows sender under Wine broadcasts
# motion datagrams and kinemora-listen prints them decoded.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in win64 linux; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
exec scripts/private-net scripts/demo-inside.sh
