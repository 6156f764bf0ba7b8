#!/usr/bin/env bash
# Packs the Windows deliverables for users into one zip file: the plug-in,
# the bridge, kinemora-listen.exe and kinemora-signal.exe; the installation and
# bring-up guides as INSTALL.txt and BRING-UP.txt; and a commented sample of
# each settings file. Every text goes in with Windows line endings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build/win64
output=$root/build/kinemora-windows-x64.zip

usage() {
  cat <<USAGE
Usage: scripts/package-release.sh [--build-dir DIR] [--output FILE]

Packs the Windows x64 binaries of a win64 build tree, with the installation
and bring-up guides and the sample settings files, into a zip file for users.

Options:
  --build-dir DIR  the win64 build tree whose bin/ holds the binaries
                   (default: build/win64)
  --output FILE    the zip file to write (default: build/kinemora-windows-x64.zip)
  --help           show this text

Build the binaries first: cmake --preset win64 && cmake --build --preset win64
USAGE
}

while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir|--output)
      if [ $# -lt 2 ] || [ -z "$2" ]; then
        echo "package-release: $1 needs a value. Try --help." >&2
        exit 2
      fi
      if [ "$1" = --build-dir ]; then build_dir=$2; else output=$2; fi
      shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "package-release: unknown option '$1'. Try --help." >&2; exit 2 ;;
  esac
done

binaries=(kinemora_aerofly_fs_2.dll kinemora_mfs_2020.exe kinemora-listen.exe kinemora-signal.exe)
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

mkdir -p "$(dirname "$output")"
python3 - "$output" "$root" "${paths[@]}" <<'PYTHON'
import os
import sys
import zipfile

output, root, binaries = sys.argv[1], sys.argv[2], sys.argv[3:]
# (file in the checkout, name in the zip)
texts = [("docs/INSTALL.md", "INSTALL.txt"), ("docs/bring-up.md", "BRING-UP.txt"),
         ("docs/samples/kinemora_aerofly_fs_2.ini", "kinemora_aerofly_fs_2.ini"),
         ("docs/samples/kinemora_mfs_2020.ini", "kinemora_mfs_2020.ini")]

# Written next to the target first, so a failure never leaves half a zip behind.
partial = output + ".partial"
with zipfile.ZipFile(partial, "w", compression=zipfile.ZIP_DEFLATED) as z:
    for path in binaries:
        z.write(path, os.path.basename(path))
    for source, name in texts:
        path = os.path.join(root, source)
        with open(path, encoding="utf-8") as f:
            text = f.read().replace("\r\n", "\n").replace("\n", "\r\n")
        info = zipfile.ZipInfo(name, date_time=zipfile.ZipInfo.from_file(path).date_time)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        z.writestr(info, text.encode("utf-8"))
os.replace(partial, output)
PYTHON
echo "package-release: wrote $output"
