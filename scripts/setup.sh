#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the demo need.
# Idempotent: a second run installs nothing new. Must run as root (or via sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  wine64 xvfb x11-apps imagemagick fonts-liberation tmux
  iproute2 util-linux procps strace
  osslsigncode openssl
  tshark
  qemu-user gcc-powerpc-linux-gnu libc6-dev-powerpc-cross gcc-arm-linux-gnueabihf libc6-dev-armhf-cross
  gcc-avr avr-libc simavr arduino-core-avr
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages already installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
