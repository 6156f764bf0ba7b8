"""Every Windows binary of the project imports only DLLs that Windows itself
provides (and the bridge the simulator's SimConnect.dll): the C and C++
runtimes are linked statically, so users install no runtime."""

import glob
import os
import unittest

import harness

SYSTEM = {"kernel32.dll", "ws2_32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll",
          "gdiplus.dll", "winmm.dll", "advapi32.dll"}
SIMCONNECT_USERS = {"kinemora_mfs_2020.exe", "bridge_clock_probe.exe"}


class ImportsTest(unittest.TestCase):
    def test_only_system_dlls(self):
        folder = os.path.join(harness.options.win_build, "bin")
        binaries = sorted(glob.glob(os.path.join(folder, "*.exe")) + glob.glob(os.path.join(folder, "*.dll")))
        self.assertTrue(binaries, f"no Windows binaries in {folder}: build the win64 preset first")
        for path in binaries:
            name = os.path.basename(path).lower()
            allowed = SYSTEM | ({"simconnect.dll"} if name in SIMCONNECT_USERS else set())
            with self.subTest(name):
                self.assertEqual(sorted(set(harness.imports(path)) - allowed), [],
                                 f"{name} imports DLLs that Windows does not provide")


if __name__ == "__main__":
    harness.main()
