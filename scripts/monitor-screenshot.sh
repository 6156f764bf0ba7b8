#!/usr/bin/env bash
# Shows the plug-in's monitor window as a user sees it inside the simulator:
# kinemora_aerofly_fs_2.dll with "monitor = on" in its settings file, driven
# by kinemora-host under Wine on a virtual screen, and saves a picture of it.
#
#   scripts/monitor-screenshot.sh [--start SECONDS] OUTPUT.png
#
# The host sends its datagrams, so this runs inside scripts/private-net.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=30
if [ "${1:-}" = --start ]; then
  start=${2:?--start needs seconds into the built-in flight}
  shift 2
fi
output=${1:?usage: scripts/monitor-screenshot.sh [--start SECONDS] OUTPUT.png}
case "$output" in /*) ;; *) output=$PWD/$output ;; esac

if [ "${KINEMORA_PRIVATE_NET:-}" != 1 ]; then
  exec "$root/scripts/private-net" xvfb-run -a -s '-screen 0 1920x1080x24 -noreset' "$0" --start "$start" "$output"
fi
"$root/scripts/check-private-net"
win=$root/build/win64/bin
[ -f "$win/kinemora_aerofly_fs_2.dll" ] || {
  echo "monitor-screenshot: build the Windows binaries first: cmake --preset win64 && cmake --build --preset win64" >&2
  exit 1
}
folder=$(mktemp -d -p "$root/build")
trap 'rm -rf "$folder"' EXIT
cp "$win/kinemora_aerofly_fs_2.dll" "$folder/"
printf 'monitor = on\r\n' > "$folder/kinemora_aerofly_fs_2.ini"

# The host flies four seconds; the picture is taken three seconds in, once
# Wine has started and the window has drawn the flight for a while.
"$root/scripts/wine-run" "$win/kinemora-host.exe" "$folder/kinemora_aerofly_fs_2.dll" \
  --start "$start" --duration 4 --quiet > /dev/null &
host=$!
sleep 3
screen_width=$(xwd -root -silent | convert xwd:- -format '%w' info:)
xwd -root -silent | convert xwd:- -crop "640x1080+$((screen_width - 640))+0" +repage "$output"
wait $host
echo "monitor-screenshot: saved $output (the built-in flight from $start s)"
