"""Every Windows binary of the project imports only DLLs that Windows itself
provides (and the bridge the simulator's SimConnect.dll): the C and C++
runtimes are linked statically, so users install no runtime."""

import glob
import os
import re
import subprocess
import sys

SYSTEM = {"kernel32.dll", "ws2_32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll",
          "gdiplus.dll", "winmm.dll", "advapi32.dll"}
SIMCONNECT_USERS = {"kinemora_mfs_2020.exe", "bridge_clock_probe.exe"}


def imports(path):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path],
                          capture_output=True, text=True, check=True).stdout
    return [name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)]


def main(directory):
    binaries = sorted(glob.glob(os.path.join(directory, "*.exe")) + glob.glob(os.path.join(directory, "*.dll")))
    if not binaries:
        print(f"no Windows binaries in {directory}: build the win64 preset first")
        return 1
    failures = 0
    for path in binaries:
        name = os.path.basename(path)
        allowed = SYSTEM | ({"simconnect.dll"} if name.lower() in SIMCONNECT_USERS else set())
        found = imports(path)
        extra = [dll for dll in found if dll not in allowed]
        print(f"{name}: {', '.join(found)}")
        if extra:
            print(f"  FAIL: imports {', '.join(extra)}, which Windows does not provide")
            failures += 1
    print(f"{len(binaries) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
