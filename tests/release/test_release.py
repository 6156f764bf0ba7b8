"""The release zip as a Windows user gets it, made by scripts/package-release.sh
from the win64 build: exactly the three binaries and INSTALL.txt; the binaries
import only DLLs that Windows provides (the bridge also SimConnect.dll, which
the user places beside it); the plug-in exports the four entry points that
Aerofly FS 2 calls; and both programs start under Wine.

Runs inside scripts/private-net: the bridge may send once it is connected."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TESTS, "e2e"))
sys.path.insert(0, TESTS)
import check_imports  # noqa: E402
import harness  # noqa: E402

SCRIPT = os.path.join(harness.ROOT, "scripts", "package-release.sh")
GUIDE = os.path.join(harness.ROOT, "docs", "INSTALL.md")
WINE_RUN = os.path.join(harness.SCRIPTS, "wine-run")
PLUGIN = "kinemora_aerofly_fs_2.dll"
BRIDGE = "kinemora_mfs_2020.exe"
LISTEN = "kinemora-listen.exe"
PLUGIN_EXPORTS = {"Aerofly_FS_2_External_DLL_GetInterfaceVersion", "Aerofly_FS_2_External_DLL_Init",
                  "Aerofly_FS_2_External_DLL_Update", "Aerofly_FS_2_External_DLL_Shutdown"}


def exports(path):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path],
                          capture_output=True, text=True, check=True).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        return set()
    return set(re.findall(r"^\s*\[\s*\d+\]\s+(\S+)$", table[1].split("\n\n", 1)[0], re.M))


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="kinemora-release-")
        cls.zip_path = os.path.join(cls.tmp.name, "kinemora-windows-x64.zip")
        made = harness.run(["bash", SCRIPT, "--build-dir", harness.options.win_build, "--output", cls.zip_path])
        if made.returncode != 0:
            raise AssertionError(f"package-release.sh failed:\n{made.stdout}{made.stderr}")
        cls.unpacked = os.path.join(cls.tmp.name, "unpacked")
        with zipfile.ZipFile(cls.zip_path) as z:
            cls.names = z.namelist()
            z.extractall(cls.unpacked)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_contents(self):
        self.assertEqual(sorted(self.names), sorted([PLUGIN, BRIDGE, LISTEN, "INSTALL.txt"]))
        for name in (PLUGIN, BRIDGE, LISTEN):
            with open(os.path.join(self.unpacked, name), "rb") as f:
                self.assertEqual(f.read(2), b"MZ", f"{name} is not a Windows binary")
        with open(os.path.join(self.unpacked, "INSTALL.txt"), "rb") as f:
            guide = f.read()
        with open(GUIDE, "rb") as f:
            self.assertEqual(guide, f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))

    def test_imports_only_system_dlls(self):
        self.assertEqual(check_imports.main(self.unpacked), 0)
        self.assertIn("simconnect.dll", check_imports.imports(os.path.join(self.unpacked, BRIDGE)))
        for name in (PLUGIN, LISTEN):
            self.assertNotIn("simconnect.dll", check_imports.imports(os.path.join(self.unpacked, name)))

    def test_plugin_exports_the_entry_points(self):
        found = exports(os.path.join(self.unpacked, PLUGIN))
        self.assertTrue(PLUGIN_EXPORTS <= found, f"missing: {PLUGIN_EXPORTS - found}")

    def test_listen_starts_under_wine(self):
        result = harness.run([WINE_RUN, os.path.join(self.unpacked, LISTEN), "--help"], timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(result.stdout.startswith("Usage: kinemora-listen"), result.stdout)

    def test_bridge_starts_under_wine_and_waits_silently(self):
        # The user puts SimConnect.dll beside the bridge; here the stand-in of
        # the build tree plays its part. With no simulator to answer, the
        # bridge must keep trying and print nothing.
        stand_in = os.path.join(harness.options.win_build, "bin", "SimConnect.dll")
        if not os.path.exists(stand_in):
            self.fail(f"{stand_in} is missing: the bridge cannot start without a SimConnect.dll "
                      "(build the win64 preset, which makes the stand-in)")
        folder = os.path.join(self.tmp.name, "bridge")
        os.makedirs(folder)
        shutil.copy(os.path.join(self.unpacked, BRIDGE), folder)
        shutil.copy(stand_in, folder)
        bridge = harness.Process([WINE_RUN, os.path.join(folder, BRIDGE)])
        # Wine takes a second or two to start a program; one that cannot load
        # (a missing DLL) has ended by then.
        time.sleep(5)
        still_running = bridge.proc.poll() is None
        out, err = bridge.stop()
        self.assertTrue(still_running, f"the bridge ended with {bridge.proc.returncode}:\n{out}{err}")
        self.assertEqual(out, "")


if __name__ == "__main__":
    harness.main()
