#!/usr/bin/env bash
# Packs the Windows deliverables for users into one zip file: the plug-ins for
# Aerofly FS 2 and FS 4, the bridge (MSFS 2020 and 2024), kinemora_xplane,
# kinemora-listen.exe and kinemora-signal.exe; the installation and bring-up
# guides as INSTALL.txt and BRING-UP.txt; a commented sample of each settings
# file, the FS 4 plug-in's made from the FS 2 one with the names changed; the
# example receivers for rig controllers under receivers/, with the decoder
# header they include under include/; and SHA256SUMS.txt, the hash of every
# other file. Every .txt and .ini goes in with Windows line endings, and a
# .txt made from Markdown has its "#" headings turned into underlined titles;
# the receivers' sources go in as they are. The programs go in stripped of
# their symbols (the build keeps them, to read a crash address from the
# field), and with --sign-pfx signed with Authenticode before the hashes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build/win64
output=$root/build/kinemora-windows-x64.zip
sign_pfx=
timestamp=

usage() {
  cat <<USAGE
Usage: scripts/package-release.sh [--build-dir DIR] [--output FILE] [--sign-pfx FILE [--timestamp URL]]

Packs the Windows x64 binaries of a win64 build tree (the plug-ins for
Aerofly FS 2 and FS 4, the bridge for MSFS 2020 and 2024, kinemora_xplane for
X-Plane 11 and 12, kinemora-listen and kinemora-signal), with the installation and bring-up guides, the sample
settings files, the example receivers and SHA256SUMS.txt, into a zip file
for users.

Options:
  --build-dir DIR  the win64 build tree whose bin/ holds the binaries
                   (default: build/win64)
  --output FILE    the zip file to write (default: build/kinemora-windows-x64.zip)
  --sign-pfx FILE  sign every .exe and .dll with Authenticode with the
                   certificate and key in this PKCS#12 file, whose password
                   is the environment variable KINEMORA_SIGN_PASSWORD
  --timestamp URL  have the signatures timestamped by this RFC 3161 server,
                   so that they stay valid after the certificate expires
  --help           show this text

Build the binaries first: cmake --preset win64 && cmake --build --preset win64
USAGE
}

while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir|--output|--sign-pfx|--timestamp)
      if [ $# -lt 2 ] || [ -z "$2" ]; then
        echo "package-release: $1 needs a value. Try --help." >&2
        exit 2
      fi
      case "$1" in
        --build-dir) build_dir=$2 ;;
        --output) output=$2 ;;
        --sign-pfx) sign_pfx=$2 ;;
        *) timestamp=$2 ;;
      esac
      shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "package-release: unknown option '$1'. Try --help." >&2; exit 2 ;;
  esac
done

binaries=(kinemora_aerofly_fs_2.dll kinemora_aerofly_fs_4.dll kinemora_mfs_2020.exe kinemora_xplane.exe
          kinemora-listen.exe kinemora-signal.exe)
paths=()
missing=()
for name in "${binaries[@]}"; do
  paths+=("$build_dir/bin/$name")
  [ -f "$build_dir/bin/$name" ] || missing+=("$build_dir/bin/$name")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "package-release: cannot pack the release, these files are missing:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  echo "Build the Windows binaries first (cmake --preset win64 && cmake --build --preset win64)," >&2
  echo "or name the build tree that has them with --build-dir DIR." >&2
  exit 1
fi

if [ -n "$timestamp" ] && [ -z "$sign_pfx" ]; then
  echo "package-release: --timestamp goes with --sign-pfx. Try --help." >&2
  exit 2
fi
if [ -n "$sign_pfx" ]; then
  if [ ! -r "$sign_pfx" ]; then
    echo "package-release: cannot read the certificate $sign_pfx: check the file's name." >&2
    exit 1
  fi
  if [ -z "${KINEMORA_SIGN_PASSWORD+set}" ]; then
    echo "package-release: set KINEMORA_SIGN_PASSWORD to the certificate's password (it is never taken from" >&2
    echo "the command line, where other users of the machine could read it)." >&2
    exit 1
  fi
  command -v osslsigncode >/dev/null || { echo "package-release: osslsigncode is missing: run scripts/setup.sh." >&2; exit 1; }
fi
strip=x86_64-w64-mingw32-strip
command -v "$strip" >/dev/null || { echo "package-release: $strip is missing: run scripts/setup.sh." >&2; exit 1; }

# The programs as they go into the zip: stripped, then signed, each dated like the build's.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
staged=()
for path in "${paths[@]}"; do
  name=$(basename "$path")
  # The program's own date in its header, as the linker wrote it, not the packing's.
  if ! SOURCE_DATE_EPOCH=$(stat -c %Y "$path") "$strip" --strip-all -o "$stage/$name" "$path" 2>"$stage/strip.log"; then
    echo "package-release: cannot strip $path: $(cat "$stage/strip.log")" >&2
    exit 1
  fi
  if [ -n "$sign_pfx" ]; then
    # The password goes in on standard input, never as an argument.
    if ! printf '%s' "$KINEMORA_SIGN_PASSWORD" |
         osslsigncode sign -pkcs12 "$sign_pfx" -readpass /dev/stdin -h sha256 -n Kinemora \
           ${timestamp:+-ts "$timestamp"} -in "$stage/$name" -out "$stage/$name.signed" >"$stage/sign.log" 2>&1; then
      echo "package-release: cannot sign $name: $(tail -n 3 "$stage/sign.log")" >&2
      exit 1
    fi
    mv "$stage/$name.signed" "$stage/$name"
  fi
  touch -r "$path" "$stage/$name"
  staged+=("$stage/$name")
done

mkdir -p "$(dirname "$output")"
python3 - "$output" "$root" "${staged[@]}" <<'PYTHON'
import hashlib
import os
import re
import sys
import zipfile

output, root, binaries = sys.argv[1], sys.argv[2], sys.argv[3:]
# The FS 4 plug-in takes the same settings as the FS 2 one, in a file named
# after itself: its sample is the FS 2 sample with these names changed.
fs_4 = [(b"kinemora_aerofly_fs_2", b"kinemora_aerofly_fs_4"), (b"Aerofly FS 2", b"Aerofly FS 4")]
# (file in the checkout, name in the zip, names to change)
texts = [("docs/INSTALL.md", "INSTALL.txt", []), ("docs/bring-up.md", "BRING-UP.txt", []),
         ("docs/samples/kinemora_aerofly_fs_2.ini", "kinemora_aerofly_fs_2.ini", []),
         ("docs/samples/kinemora_aerofly_fs_2.ini", "kinemora_aerofly_fs_4.ini", fs_4),
         ("docs/samples/kinemora_mfs_2020.ini", "kinemora_mfs_2020.ini", []),
         ("docs/samples/kinemora_xplane.ini", "kinemora_xplane.ini", []),
         ("examples/README.md", "receivers/README.txt", [])]
# (file in the checkout, name in the zip). The receivers keep their places
# relative to the header, so receiver.c builds with its own -I../../include.
sources = [("examples/python/kinemora_datagram.py", "receivers/python/kinemora_datagram.py"),
           ("examples/python/receive.py", "receivers/python/receive.py"),
           ("examples/c/receiver.c", "receivers/c/receiver.c"),
           ("examples/c/udp_port.h", "receivers/c/udp_port.h"),
           ("examples/c/posix/udp_port.c", "receivers/c/posix/udp_port.c"),
           ("examples/c/win32/udp_port.c", "receivers/c/win32/udp_port.c"),
           ("examples/arduino/kinemora_pitch_servo/kinemora_pitch_servo.ino",
            "receivers/arduino/kinemora_pitch_servo/kinemora_pitch_servo.ino"),
           ("include/kinemora/motion_datagram.h", "include/kinemora/motion_datagram.h")]


def crlf(data):
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def plain_headings(data):
    """Each Markdown heading line ("# T", "## T", "### T") as plain text: the
    title T, then a line of "=" (for #) or "-" (for ## and deeper) as long as
    T. Only a line that starts with "#" is a heading: indented code stays."""
    lines = []
    for line in data.decode("utf-8").replace("\r\n", "\n").split("\n"):
        heading = re.fullmatch(r"(#{1,6})[ \t]+(.*?)[ \t]*", line)
        if heading and heading[2]:
            lines += [heading[2], ("=" if len(heading[1]) == 1 else "-") * len(heading[2])]
        else:
            lines.append(line)
    return "\n".join(lines).encode("utf-8")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def entry(path, name, data):
    """A zip entry dated like the file; the binaries keep their mode, the rest is rw-r--r--."""
    info = zipfile.ZipInfo.from_file(path, name)
    if path not in binaries:
        info.external_attr = 0o644 << 16
    return info, data


entries = [entry(path, os.path.basename(path), read(path)) for path in binaries]
for source, name, changes in texts:
    path = os.path.join(root, source)
    data = read(path)
    for old, new in changes:
        data = data.replace(old, new)
    if source.endswith(".md"):
        data = plain_headings(data)
    entries.append(entry(path, name, crlf(data)))
for source, name in sources:
    path = os.path.join(root, source)
    entries.append(entry(path, name, read(path)))
# The lines sha256sum writes for the unpacked files, dated like the newest of them.
sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {info.filename}\n" for info, data in entries)
newest = max(info.date_time for info, _ in entries)
sums_info = zipfile.ZipInfo("SHA256SUMS.txt", date_time=newest)
sums_info.external_attr = 0o644 << 16
entries.append((sums_info, crlf(sums.encode("ascii"))))

# Written next to the target first, so a failure never leaves half a zip behind.
partial = output + ".partial"
with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED) as z:
    for info, data in entries:
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, data)
os.replace(partial, output)
PYTHON
echo "package-release: wrote $output${sign_pfx:+ (signed)}"
