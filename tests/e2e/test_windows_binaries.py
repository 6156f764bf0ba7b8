"""The Windows binaries as users get them: every one imports only DLLs that
Windows itself provides (and the bridge the simulator's SimConnect.dll), the
C and C++ runtimes being linked statically, so users install no runtime; and
the deliverables say what they are in their version resource. With --plugin
kinemora_aerofly_fs_4 only that plug-in's version resource is read again."""

import glob
import os
import re
import unittest

import harness
import pe_tables

SIMCONNECT_USERS = {"kinemora_mfs_2020.exe", "bridge_clock_probe.exe"}


class ImportsTest(unittest.TestCase):
    @harness.not_per_plugin
    def test_only_system_dlls(self):
        folder = os.path.join(harness.options.win_build, "bin")
        binaries = sorted(glob.glob(os.path.join(folder, "*.exe")) + glob.glob(os.path.join(folder, "*.dll")))
        self.assertTrue(binaries, f"no Windows binaries in {folder}: build the win64 preset first")
        for path in binaries:
            name = os.path.basename(path).lower()
            allowed = pe_tables.SYSTEM_DLLS | ({"simconnect.dll"} if name in SIMCONNECT_USERS else set())
            with self.subTest(name):
                self.assertEqual(sorted(set(pe_tables.imports(path)) - allowed), [],
                                 f"{name} imports DLLs that Windows does not provide")


    def test_what_users_get_carries_a_version_resource(self):
        version = None
        with open(os.path.join(harness.ROOT, "CMakeLists.txt")) as f:
            version = re.search(r"project\(kinemora VERSION (\d+\.\d+\.\d+)", f.read()).group(1)
        plugin = harness.plugin()
        binaries = [(plugin.name + ".dll", f"Kinemora: the Aerofly FS {plugin.edition} plug-in that sends the "
                                           "aircraft's motion to a motion platform")]
        if plugin.name == harness.DEFAULT_PLUGIN:
            binaries += [("kinemora_mfs_2020.exe", "Kinemora: the MSFS 2020 bridge that sends the aircraft's motion "
                                                   "to a motion platform"),
                         ("kinemora-signal.exe", "Kinemora: a test signal on one field of the motion datagrams, for "
                                                 "rig bring-up")]
        for name, description in binaries:
            with open(os.path.join(harness.options.win_build, "bin", name), "rb") as f:
                data = f.read()
            # Each value of the string table follows its key in UTF-16, padded to four bytes.
            for key, value in [("ProductName", "Kinemora"), ("FileDescription", description),
                               ("FileVersion", version), ("ProductVersion", version), ("OriginalFilename", name)]:
                found = re.search(re.escape(key.encode("utf-16-le")) + b"(?:\x00\x00)+" +
                                  re.escape(value.encode("utf-16-le")) + b"\x00\x00", data)
                self.assertIsNotNone(found, f"{name}: {key} {value!r}")


if __name__ == "__main__":
    harness.main()
