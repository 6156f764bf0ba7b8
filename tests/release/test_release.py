"""The release zip as a Windows user gets it, made by scripts/package-release.sh
from the win64 build: the five binaries, the guides, the sample settings, the
receivers for rig controllers and SHA256SUMS.txt, keeping every rule of
zip_rules.py (true hashes, plain CR LF texts that name only files the user
has); the binaries import only DLLs that Windows provides (the bridge also
SimConnect.dll, which the user places beside it); each plug-in exports the
four entry points of its simulator, Aerofly FS 2 or FS 4, and nothing else;
the programs, stripped of their symbols, start under Wine. A zip signed with
a throwaway certificate made for the test verifies file by file, and its
plug-in and bridge run.

Runs inside scripts/private-net: the bridge may send once it is connected."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(TESTS, "e2e"))
sys.path.insert(0, TESTS)
import harness  # noqa: E402
import pe_tables  # noqa: E402
import zip_rules  # noqa: E402

SCRIPT = os.path.join(harness.ROOT, "scripts", "package-release.sh")
BRIDGE = "kinemora_mfs_2020.exe"
LISTEN = "kinemora-listen.exe"
SIGNAL = "kinemora-signal.exe"
# plug-in: the Aerofly edition whose entry points it exports
PLUGINS = {"kinemora_aerofly_fs_2.dll": 2, "kinemora_aerofly_fs_4.dll": 4}
XPLANE = "kinemora_xplane.exe"
BINARIES = [*PLUGINS, BRIDGE, XPLANE, LISTEN, SIGNAL]
TEXTS = ["INSTALL.txt", "BRING-UP.txt", "kinemora_aerofly_fs_2.ini", "kinemora_aerofly_fs_4.ini",
         "kinemora_mfs_2020.ini", "kinemora_xplane.ini", "SHA256SUMS.txt"]
RECEIVERS = ["receivers/README.txt", "receivers/python/kinemora_datagram.py", "receivers/python/receive.py",
             "receivers/c/receiver.c", "receivers/c/udp_port.h", "receivers/c/posix/udp_port.c",
             "receivers/c/win32/udp_port.c", "receivers/arduino/kinemora_pitch_servo/kinemora_pitch_servo.ino",
             "include/kinemora/motion_datagram.h"]
ENTRY_POINTS = ["GetInterfaceVersion", "Init", "Update", "Shutdown"]


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="kinemora-release-")
        cls.names, cls.problems, cls.unpacked = cls.pack("unsigned")
        # A certificate of the test's own, which only the test trusts.
        cls.certificate = os.path.join(cls.tmp.name, "signer.pem")
        key, pfx = os.path.join(cls.tmp.name, "signer.key"), os.path.join(cls.tmp.name, "signer.pfx")
        for command in (["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                         "/CN=Kinemora test signer", "-keyout", key, "-out", cls.certificate],
                        ["openssl", "pkcs12", "-export", "-inkey", key, "-in", cls.certificate, "-out", pfx,
                         "-passout", "pass:test password"]):
            subprocess.run(command, check=True, capture_output=True)
        _, cls.signed_problems, cls.signed = cls.pack("signed", "--sign-pfx", pfx,
                                                      env=dict(os.environ, KINEMORA_SIGN_PASSWORD="test password"))

    @classmethod
    def pack(cls, name, *args, env=None):
        """Packs a zip; returns its names, its problems and where it lies unpacked."""
        zip_path = os.path.join(cls.tmp.name, name + ".zip")
        made = harness.run(["bash", SCRIPT, "--build-dir", harness.options.win_build, "--output", zip_path, *args],
                           env=env)
        if made.returncode != 0:
            raise AssertionError(f"package-release.sh failed:\n{made.stdout}{made.stderr}")
        unpacked = os.path.join(cls.tmp.name, name)
        with zipfile.ZipFile(zip_path) as z:
            z.extractall(unpacked)
            return z.namelist(), zip_rules.zip_problems(z), unpacked

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_contents(self):
        self.assertEqual(sorted(self.names), sorted(BINARIES + TEXTS + RECEIVERS))
        for name in BINARIES:
            with open(os.path.join(self.unpacked, name), "rb") as f:
                self.assertEqual(f.read(2), b"MZ", f"{name} is not a Windows binary")
            self.assertEqual(pe_tables.symbol_count(os.path.join(self.unpacked, name)), 0, f"{name} is not stripped")
            self.assertGreater(pe_tables.symbol_count(os.path.join(harness.options.win_build, "bin", name)), 0,
                               f"the build keeps {name}'s symbols")

    def test_sums_and_texts_keep_the_rules(self):
        self.assertEqual(self.problems, [])

    def test_imports_only_system_dlls(self):
        for name in BINARIES:
            found = set(pe_tables.imports(os.path.join(self.unpacked, name)))
            allowed = pe_tables.SYSTEM_DLLS | ({"simconnect.dll"} if name == BRIDGE else set())
            with self.subTest(name):
                self.assertEqual(sorted(found - allowed), [])
        self.assertIn("simconnect.dll", pe_tables.imports(os.path.join(self.unpacked, BRIDGE)))

    def test_plugins_export_their_simulators_entry_points(self):
        for name, edition in PLUGINS.items():
            expected = sorted(f"Aerofly_FS_{edition}_External_DLL_{entry}" for entry in ENTRY_POINTS)
            self.assertEqual(sorted(pe_tables.exports(os.path.join(self.unpacked, name))), expected, name)

    def test_the_tools_start_under_wine(self):
        for name, usage in [(LISTEN, "Usage: kinemora-listen"), (SIGNAL, "Usage: kinemora-signal"),
                            (XPLANE, "Usage: kinemora_xplane")]:
            result = harness.run([harness.WINE_RUN, os.path.join(self.unpacked, name), "--help"], timeout=120)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertTrue(result.stdout.startswith(usage), result.stdout)

    def test_bridge_starts_under_wine_and_waits_silently(self):
        self.check_bridge_starts(self.unpacked)

    def test_a_signed_zip_verifies_file_by_file_and_its_programs_run(self):
        self.assertEqual(self.signed_problems, [], "SHA256SUMS.txt names the signed files")
        for name in BINARIES:
            for folder, verified in [(self.signed, True), (self.unpacked, False)]:
                result = subprocess.run(["osslsigncode", "verify", "-CAfile", self.certificate, "-in",
                                         os.path.join(folder, name)], capture_output=True, text=True)
                self.assertEqual("Signature verification: ok" in result.stdout, verified, f"{folder}: {name}")
        for name, edition in PLUGINS.items():
            host = harness.run(harness.command("kinemora-host", harness.windows_path(os.path.join(self.signed, name)),
                                               "--duration", 0.25, windows_binary=True), timeout=120)
            self.assertEqual(host.returncode, 0, host.stderr)
            self.assertIn(f"{name} is an Aerofly FS {edition} plug-in", host.stderr)
        self.check_bridge_starts(self.signed)

    def check_bridge_starts(self, unpacked):
        # The user puts SimConnect.dll beside the bridge; here the stand-in of
        # the build tree plays its part. With no simulator to answer, the
        # bridge must keep trying and print nothing. The sample settings file
        # beside it, CRLF and all, is read with no line ignored.
        stand_in = os.path.join(harness.options.win_build, "bin", "SimConnect.dll")
        if not os.path.exists(stand_in):
            self.fail(f"{stand_in} is missing: the bridge cannot start without a SimConnect.dll "
                      "(build the win64 preset, which makes the stand-in)")
        folder = tempfile.mkdtemp(dir=self.tmp.name)
        shutil.copy(os.path.join(unpacked, BRIDGE), folder)
        shutil.copy(stand_in, folder)
        shutil.copy(os.path.join(unpacked, "kinemora_mfs_2020.ini"), folder)
        bridge = harness.Process([harness.WINE_RUN, os.path.join(folder, BRIDGE)])
        # The bridge prints its line once its SimConnect.dll has loaded and its
        # socket is up; one that cannot load (a missing DLL) ends instead.
        bridge.wait_until(lambda: bridge.errors().endswith("\n"), 120, "the bridge's first line")
        still_running = bridge.proc.poll() is None
        out, err = bridge.stop()
        self.assertTrue(still_running, f"the bridge ended with {bridge.proc.returncode}:\n{out}{err}")
        self.assertEqual(out, "")
        self.assertEqual(err, "kinemora_mfs_2020: sending to 255.255.255.255:50010\n")


if __name__ == "__main__":
    harness.main()
