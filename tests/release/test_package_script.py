"""scripts/package-release.sh on a stand-in build tree: the zip holds exactly
the five binaries, stripped of their symbols, and the receivers' sources,
byte for byte, the guides and
sample settings files with Windows line endings (the FS 4 plug-in's sample is
the FS 2 one under FS 4's names), and SHA256SUMS.txt; the zip
keeps every rule of zip_rules.py; the C receiver builds in the unpacked zip
with the command in its comment; a missing binary stops it with the file named
and no zip left."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

import zip_rules

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPT = os.path.join(ROOT, "scripts", "package-release.sh")
BINARIES = ["kinemora_aerofly_fs_2.dll", "kinemora_aerofly_fs_4.dll", "kinemora_mfs_2020.exe", "kinemora_xplane.exe",
            "kinemora-listen.exe", "kinemora-signal.exe"]
# name in the zip: file in the checkout
TEXTS = {"INSTALL.txt": "docs/INSTALL.md", "BRING-UP.txt": "docs/bring-up.md",
         "kinemora_aerofly_fs_2.ini": "docs/samples/kinemora_aerofly_fs_2.ini",
         "kinemora_mfs_2020.ini": "docs/samples/kinemora_mfs_2020.ini",
         "kinemora_xplane.ini": "docs/samples/kinemora_xplane.ini",
         "receivers/README.txt": "examples/README.md"}
# name in the zip: the packed sample it repeats under its own simulator's names
RENAMED = {"kinemora_aerofly_fs_4.ini": "kinemora_aerofly_fs_2.ini"}
FS_2_NAME = re.compile(rb"fs[ _]?2", re.IGNORECASE)
# name in the zip: file in the checkout, packed as it is
SOURCES = {"receivers/python/kinemora_datagram.py": "examples/python/kinemora_datagram.py",
           "receivers/python/receive.py": "examples/python/receive.py",
           "receivers/c/receiver.c": "examples/c/receiver.c",
           "receivers/c/udp_port.h": "examples/c/udp_port.h",
           "receivers/c/posix/udp_port.c": "examples/c/posix/udp_port.c",
           "receivers/c/win32/udp_port.c": "examples/c/win32/udp_port.c",
           "receivers/arduino/kinemora_pitch_servo/kinemora_pitch_servo.ino":
               "examples/arduino/kinemora_pitch_servo/kinemora_pitch_servo.ino",
           "include/kinemora/motion_datagram.h": "include/kinemora/motion_datagram.h"}


DATE = 1765000000  # the build's programs' date


def run(script, *args):
    return subprocess.run(["bash", script, *args], capture_output=True, text=True, timeout=60)


class PackageScriptTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        """Small Windows programs with symbols, one a binary, dated DATE, and each
        as stripped with its date in its header: what the zip must hold."""
        cls.made = tempfile.TemporaryDirectory(prefix="kinemora-binaries-")
        cls.binaries, cls.stripped = {}, {}
        for i, name in enumerate(BINARIES):
            source, program = os.path.join(cls.made.name, f"{i}.c"), os.path.join(cls.made.name, f"{i}.exe")
            with open(source, "w") as f:
                f.write(f'const char* name = "{name}";\nint main(void) {{ return {i}; }}\n')
            subprocess.run(["x86_64-w64-mingw32-gcc", "-g", "-o", program, source], check=True)
            subprocess.run(["x86_64-w64-mingw32-strip", "--strip-all", "-o", program + ".stripped", program],
                           check=True, env=dict(os.environ, SOURCE_DATE_EPOCH=str(DATE)))
            for kept, path in [(cls.binaries, program), (cls.stripped, program + ".stripped")]:
                with open(path, "rb") as f:
                    kept[name] = f.read()

    @classmethod
    def tearDownClass(cls):
        cls.made.cleanup()

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="kinemora-release-")
        self.addCleanup(self.tmp.cleanup)
        self.build = os.path.join(self.tmp.name, "win64")
        os.makedirs(os.path.join(self.build, "bin"))
        self.contents = self.stripped
        for name in BINARIES:
            with open(os.path.join(self.build, "bin", name), "wb") as f:
                f.write(self.binaries[name])
            os.utime(os.path.join(self.build, "bin", name), (DATE, DATE))
        # Other programs of the build tree stay out of the package.
        with open(os.path.join(self.build, "bin", "send_probe.exe"), "wb") as f:
            f.write(b"MZ test helper")
        self.zip_path = os.path.join(self.tmp.name, "out", "release.zip")

    def check_zip(self, path):
        with zipfile.ZipFile(path) as z:
            self.assertIsNone(z.testzip())
            self.assertEqual(sorted(z.namelist()),
                             sorted(BINARIES + list(TEXTS) + list(RENAMED) + list(SOURCES) + [zip_rules.SUMS]))
            for name in BINARIES:
                self.assertEqual(z.read(name), self.contents[name], name)
            for name, source in SOURCES.items():
                with open(os.path.join(ROOT, source), "rb") as f:
                    self.assertEqual(z.read(name), f.read(), name)
            for name, source in TEXTS.items():
                packed = z.read(name)
                with open(os.path.join(ROOT, source), "rb") as f:
                    lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
                if source.endswith(".md"):
                    # A Markdown heading becomes its title over a line of = or -.
                    lines = [re.sub(rb"^#+ ", b"", line) for line in lines]
                    packed = re.sub(rb"\r\n[=-]+(?=\r\n)", b"", packed)
                self.assertEqual(packed.split(b"\r\n"), lines, name)
                self.assertEqual(packed.count(b"\n"), packed.count(b"\r\n"), f"{name}: every line ends in CR LF")
            for name, original in RENAMED.items():
                packed = z.read(name)
                self.assertEqual(FS_2_NAME.findall(packed), [], f"{name} names FS 2")
                self.assertEqual(packed.replace(b"fs_4", b"fs_2").replace(b"FS 4", b"FS 2"), z.read(original), name)
            self.assertEqual(zip_rules.zip_problems(z), [])

    def test_packs_the_binaries_and_the_guide(self):
        result = run(SCRIPT, "--build-dir", self.build, "--output", self.zip_path)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(f"wrote {self.zip_path}", result.stdout)
        self.check_zip(self.zip_path)
        self.assertEqual(os.listdir(os.path.dirname(self.zip_path)), ["release.zip"])

    def test_defaults_are_build_win64_and_build_zip(self):
        # A copy of the script in a stand-in checkout, so the real build/ stays untouched.
        checkout = os.path.join(self.tmp.name, "checkout")
        os.makedirs(os.path.join(checkout, "scripts"))
        shutil.copy(SCRIPT, os.path.join(checkout, "scripts"))
        for source in list(TEXTS.values()) + list(SOURCES.values()):
            os.makedirs(os.path.join(checkout, os.path.dirname(source)), exist_ok=True)
            shutil.copy(os.path.join(ROOT, source), os.path.join(checkout, source))
        shutil.copytree(self.build, os.path.join(checkout, "build", "win64"))
        result = run(os.path.join(checkout, "scripts", "package-release.sh"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.check_zip(os.path.join(checkout, "build", "kinemora-windows-x64.zip"))

    def test_c_receiver_builds_in_the_unpacked_zip(self):
        # The command that receiver.c's comment gives, in the folder it names:
        # the header must sit where -I../../include finds it.
        self.assertEqual(run(SCRIPT, "--build-dir", self.build, "--output", self.zip_path).returncode, 0)
        unpacked = os.path.join(self.tmp.name, "unpacked")
        with zipfile.ZipFile(self.zip_path) as z:
            z.extractall(unpacked)
            comment = z.read("receivers/c/receiver.c").decode()
        command = re.search(r"^ \*\s+(cc .*)$", comment, re.MULTILINE)[1].split()
        result = subprocess.run(command, cwd=os.path.join(unpacked, "receivers", "c"),
                                capture_output=True, text=True, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_names_every_missing_binary(self):
        os.remove(os.path.join(self.build, "bin", "kinemora_aerofly_fs_2.dll"))
        os.remove(os.path.join(self.build, "bin", "kinemora_mfs_2020.exe"))
        result = run(SCRIPT, "--build-dir", self.build, "--output", self.zip_path)
        self.assertEqual(result.returncode, 1)
        self.assertIn("these files are missing", result.stderr)
        self.assertIn(os.path.join(self.build, "bin", "kinemora_aerofly_fs_2.dll"), result.stderr)
        self.assertIn(os.path.join(self.build, "bin", "kinemora_mfs_2020.exe"), result.stderr)
        self.assertNotIn("kinemora-listen.exe", result.stderr)
        self.assertIn("cmake --preset win64", result.stderr)
        self.assertFalse(os.path.exists(os.path.dirname(self.zip_path)))

    def test_missing_build_tree(self):
        result = run(SCRIPT, "--build-dir", os.path.join(self.tmp.name, "nowhere"), "--output", self.zip_path)
        self.assertEqual(result.returncode, 1)
        for name in BINARIES:
            self.assertIn(os.path.join(self.tmp.name, "nowhere", "bin", name), result.stderr)

    def test_help_and_bad_options(self):
        result = run(SCRIPT, "--help")
        self.assertEqual(result.returncode, 0)
        self.assertTrue(result.stdout.startswith("Usage: scripts/package-release.sh"))
        self.assertIn("--build-dir DIR", result.stdout)
        for args in (["--bogus"], ["--build-dir"], ["--output"], ["--timestamp", "http://ts.example"]):
            result = run(SCRIPT, *args)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn("Try --help", result.stderr)
        # A password never comes from the command line: without the variable, nothing is packed.
        env = {k: v for k, v in os.environ.items() if k != "KINEMORA_SIGN_PASSWORD"}
        result = subprocess.run(["bash", SCRIPT, "--build-dir", self.build, "--output", self.zip_path, "--sign-pfx",
                                 SCRIPT], capture_output=True, text=True, timeout=60, env=env)
        self.assertEqual(result.returncode, 1)
        self.assertIn("set KINEMORA_SIGN_PASSWORD", result.stderr)
        self.assertFalse(os.path.exists(self.zip_path))


if __name__ == "__main__":
    unittest.main(verbosity=2)
