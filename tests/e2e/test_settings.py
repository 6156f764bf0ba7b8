"""The deliverables' settings files and the bridge's command line, end to
end: the plug-in (the DLL under Wine, or the native .so) in a folder of its
own beside its kinemora_aerofly_fs_2.ini (kinemora_aerofly_fs_4.ini with
--plugin kinemora_aerofly_fs_4), driven by kinemora-host; the bridge
with its kinemora_mfs_2020.ini or its options, fed by kinemora-simulator.
Everything that arrives is caught by kinemora-listen in the private network."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import harness
from harness import GREETING, BridgeTestCase, Emulator, Listener, Process, dots_after

FRAMES = 20
NO_ROUTE = ("no route to that computer: it is not on a network this PC reaches; check that this PC's network "
            "cable or Wi-Fi is connected and that the destination's address is right")
# A folder name with characters of several scripts, as a Documents folder may have.
FOLDER = "Dokumente \u00e9\u00df \u2708 \u30c6\u30b9\u30c8"


class PluginFolder:
    """A copy of the plug-in under test in a folder of its own, as it lies in
    external_dll; ini and log_path are its settings file and log there."""

    def __init__(self, settings=None):
        self.folder = os.path.join(tempfile.mkdtemp(dir=harness.options.build), FOLDER)
        os.makedirs(self.folder)
        under_test = harness.plugin()
        self.plugin = os.path.join(self.folder, os.path.basename(under_test.path))
        shutil.copy(under_test.path, self.plugin)
        self.ini, self.log_path = self.path(under_test.name + ".ini"), self.path(under_test.name + ".log")
        if settings is not None:
            with open(self.ini, "wb") as f:
                f.write(settings if isinstance(settings, bytes) else settings.encode())

    def path(self, name):
        return os.path.join(self.folder, name)

    def log(self):
        with open(self.log_path, encoding="utf-8") as f:
            return [line[20:] for line in f.read().splitlines()]

    def fly(self, test, *listeners, env=None):
        """Flies FRAMES frames with the host; returns what each listener caught."""
        host = harness.run(harness.command("kinemora-host", self.plugin, "--duration", FRAMES / 20, "--rate", 20,
                                           "--quiet"), timeout=120, env=env)
        test.assertEqual(host.returncode, 0, host.stderr)
        return [listener.finish(timeout=60)[0] for listener in listeners]


def listen(port, expected):
    """A listener that waits for the datagrams expected, or three seconds for none."""
    if expected:
        return harness.Listener("--port", port, "--count", expected, "--timeout", 60)
    return harness.Listener("--port", port, "--timeout", 3)


class PluginSettingsTest(unittest.TestCase):
    def test_unicast_to_another_port_with_nothing_on_50010(self):
        folder = PluginFolder("destination = 192.0.2.10:50123\r\n")
        elsewhere, default = folder.fly(self, listen(50123, FRAMES), listen(50010, 0))
        self.assertEqual(len(elsewhere), FRAMES)
        self.assertTrue(all(d["kind"] == "K01" for d in elsewhere))
        self.assertEqual(default, [], "nothing goes to 50010 once the file names another destination")
        self.assertFalse(os.path.exists(folder.log_path), "a file without mistakes")

    def test_a_file_with_mistakes_writes_the_log_without_log_on_and_a_file_too_large_applies_nothing(self):
        too_large = b"destination = 192.0.2.10:50132\r\n" + b"#" * (64 * 1024)
        nine = b"destination = broadcast\r\n" + b"".join(b"destination = broadcast:%d\r\n" % port
                                                         for port in range(50141, 50149))
        for settings, reason in [(b"log = maybe\r\n", "settings: line 1 ignored: log takes on or off"),
                                 (too_large, "is larger than 64 KB and is not read; the defaults apply"),
                                 (nine, "settings: line 9: 255.255.255.255:50148 left out: at most 8 destinations")]:
            folder = PluginFolder(settings)
            caught, = folder.fly(self, listen(50010, FRAMES))
            self.assertEqual(len(caught), FRAMES, "the defaults apply")
            log = folder.log()
            self.assertTrue(any(reason in line for line in log), log)
            self.assertIn("settings: written because the settings file has mistakes; it is written at every Init "
                          "until they are mended, and always with log = on", log)

    def test_adapters_reach_the_broadcast_address_of_the_subnet(self):
        folder = PluginFolder("destination = Adapters\nlog = on\n")
        caught, = folder.fly(self, listen(50010, FRAMES))
        self.assertEqual(len(caught), FRAMES)
        log = folder.log()
        self.assertIn("destinations: 192.0.2.255:50010", log)
        adapters = [line for line in log if line.startswith("settings: adapter")]
        self.assertEqual(len(adapters), 1, log)
        self.assertRegex(adapters[0], r"^settings: adapter '.+' 192\.0\.2\.10 mask 255\.255\.255\.0: "
                                      r"broadcast address 192\.0\.2\.255$")

    def test_two_destinations_each_get_every_datagram(self):
        folder = PluginFolder("destination = 192.0.2.10:50124\ndestination = broadcast:50125\n")
        first, second = folder.fly(self, listen(50124, FRAMES), listen(50125, FRAMES))
        self.assertEqual([d["hex"] for d in first], [d["hex"] for d in second])
        self.assertEqual(len(first), FRAMES)

    def test_junk_lines_are_logged_and_the_good_line_applies(self):
        folder = PluginFolder(b"\xef\xbb\xbf# Kinemora plug-in\r\n"
                              b"\r\n"
                              b"   ; commented out: destination = broadcast\r\n"
                              b"this is no setting\r\n"
                              b"destination = 192.0.2.10:50126\r\n"
                              b"monitor = perhaps\r\n"
                              b"\x00\x01\x02 = on\r\n"
                              b"log = on\r\n"
                              b"destination = 192.0.2.300\r\n")
        caught, = folder.fly(self, listen(50126, FRAMES))
        self.assertEqual(len(caught), FRAMES)
        log = folder.log()
        self.assertRegex(log[0], rf"^{harness.plugin().name} \d+\.\d+\.\d+: Init$")
        self.assertEqual(log[1], "settings: read " + (harness.windows_path(folder.ini) if harness.windows()
                                                      else folder.ini))
        self.assertEqual(log[2:9], [
            "settings: line 4 ignored: no '=': write key = value, for example destination = broadcast",
            "settings: line 6 ignored: monitor takes on or off (or true/false, yes/no, 1/0), not 'perhaps'",
            "settings: line 7 ignored: holds bytes that are not text",
            "settings: line 9 ignored: '192.0.2.300' is not a destination: write A.B.C.D, A.B.C.D:PORT, broadcast, "
            "broadcast:PORT, adapters or adapters:PORT (PORT 1 to 65535)",
            "destinations: 192.0.2.10:50126",
            "monitor: off",
            "first datagram: 44 bytes to 192.0.2.10:50126",
        ])
        self.assertEqual(log[-1], f"Shutdown: frames {FRAMES}, datagrams {FRAMES}, failures 0")

    def test_a_destination_that_fails_is_logged_once_and_keeps_no_other_from_its_datagrams(self):
        harness.make_unreachable()
        folder = PluginFolder(f"destination = {harness.UNREACHABLE}\ndestination = broadcast\nlog = on\n")
        caught, = folder.fly(self, listen(50010, FRAMES))
        self.assertEqual(len(caught), FRAMES, "the broadcast gets every datagram")
        log = folder.log()
        unreachable = 10065 if harness.windows() else 113  # WSAEHOSTUNREACH, EHOSTUNREACH
        failures = [line for line in log if line.startswith("send failed")]
        self.assertEqual(failures, [f"send failed: sendto for {harness.UNREACHABLE}:50010, error {unreachable}: "
                                    f"{NO_ROUTE} (later failures of this kind are only counted)"])
        self.assertEqual(log[-1], f"Shutdown: frames {FRAMES}, datagrams {2 * FRAMES}, failures {FRAMES} "
                                  f"(sendto {FRAMES})")

    def test_the_log_is_kept_once_at_its_size_cap(self):
        folder = PluginFolder("log = on\n")
        # Ten bytes short of 1 MB: the first line of this run does not fit.
        old = "x" * 99 + "\n"
        full = old * (1024 * 1024 // len(old)) + "y" * 65 + "\n"
        self.assertEqual(len(full), 1024 * 1024 - 10)
        with open(folder.log_path, "w") as f:
            f.write(full)
        folder.fly(self, listen(50010, FRAMES))
        with open(folder.log_path + ".1") as f:
            kept = f.read()
        self.assertEqual(kept, full, "the full log is kept whole as .log.1")
        log = folder.log()
        self.assertEqual(log[-1], f"Shutdown: frames {FRAMES}, datagrams {FRAMES}, failures 0")
        self.assertLess(os.path.getsize(folder.log_path), 4096)

    def test_a_full_log_that_another_program_holds_names_it(self):
        if not harness.windows():
            self.skipTest("Windows renames no file that another program holds: in the wine variant")
        folder = PluginFolder("log = on\n")
        with open(folder.log_path, "w") as f:
            f.write("x" * 99 + "\n" + "y" * (1024 * 1024 - 110) + "\n")  # ten bytes short of 1 MB
        holder = Process(harness.command("lock_holder", harness.windows_path(folder.log_path)), stdin=True)
        try:
            holder.wait_until(lambda: holder.text() == "held\n", 60, "the log held")
            folder.fly(self, listen(50010, FRAMES))
        finally:
            holder.stop()
        self.assertEqual(folder.log()[-1], f"the log is full and cannot begin anew: another program holds "
                                           f"{harness.plugin().name}.log open; close that program and the log "
                                           "begins anew at the next start")

    def trace(self, folder):
        """The socket calls of one flight of 3 frames, one list of calls per datagram."""
        script = os.path.join(folder.folder, "frames.txt")
        record = ("aaaa4800" + "00" * 12 + "99660c9aca9f4898" + "0002010000000000" + "00" * 24 +
                  "4000000200000000" + "000000000000d03f")
        with open(script, "w") as f:
            f.write("init\n" + f"frame 1 {record}\n" * 3 + "shutdown\n")
        if harness.windows():
            run = harness.run(harness.command("kinemora-host", folder.plugin, "--replay", script),
                              env=dict(os.environ, WINEDEBUG="+winsock"), timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            # The plug-in's calls, on the host's thread: the one that opens the sockets.
            thread = re.search(r"^([0-9a-f]+):trace:winsock:socket af=", run.stderr, re.M).group(1)
            calls = []
            for line in run.stderr.splitlines():
                m = re.match(rf"^{thread}:trace:winsock:(socket af=\d+ type=\d+ protocol=\d+|setsockopt .*|"
                             r"bind socket .*|getaddrinfo node .*|freeaddrinfo .*|WS2_sendto socket .*|closesocket .*)",
                             line)
                if m:
                    call = re.sub(r"0x[0-9a-f]+|[0-9A-F]{16}", "#", m.group(1))
                    calls.append(re.sub(r", overlapped.*", "", call))
        else:
            out = os.path.join(folder.folder, "strace.txt")
            run = subprocess.run(["strace", "-f", "-qq", "-o", out, "-e", "trace=socket,setsockopt,bind,sendto,close",
                                  *harness.command("kinemora-host", folder.plugin, "--replay", script)],
                                 capture_output=True, text=True, timeout=120)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(out) as f:
                # Without the process id, and with strace's padding before the result taken out.
                lines = [re.sub(r"\)\s+= ", ") = ", re.sub(r"^\d+ +", "", line.strip())) for line in f]
            calls, socket = [], None
            for line in lines:
                if line.startswith("socket(AF_INET, SOCK_DGRAM"):
                    socket = line.rsplit("= ", 1)[1]
                    line = line.replace("= " + socket, "= #")
                if socket is not None and re.match(rf"^\w+\({socket}\b|^socket\(", line):
                    calls.append(re.sub(rf"\({socket}\b", "(#", re.sub(r'"K01,.*?"(\.\.\.)?', '"K01,"', line)))
                    if line.startswith("close("):
                        socket = None
        per_datagram = len(calls) // 3
        self.assertEqual(per_datagram * 3, len(calls), calls)
        return [calls[i * per_datagram:(i + 1) * per_datagram] for i in range(3)]

    def test_without_a_file_the_calls_are_the_broadcast_senders(self):
        traced = self.trace(PluginFolder())
        if harness.windows():
            expected = [
                "socket af=2 type=2 protocol=0",
                "setsockopt socket #, level SOL_SOCKET, name SO_BROADCAST, optval # (1), optlen 1",
                "bind socket #, addr { family AF_INET, address 0.0.0.0, port 0 }",
                'getaddrinfo node "255.255.255.255", service "50010", hints #',
                "freeaddrinfo #",
                "WS2_sendto socket #, buffers #, buffer_count 1, flags 0, addr #, addr_len 128",
                "closesocket #",
            ]
        else:
            expected = [
                "socket(AF_INET, SOCK_DGRAM, IPPROTO_IP) = #",
                "setsockopt(#, SOL_SOCKET, SO_BROADCAST, [1], 4) = 0",
                'bind(#, {sa_family=AF_INET, sin_port=htons(0), sin_addr=inet_addr("0.0.0.0")}, 16) = 0',
                'sendto(#, "K01,", 44, 0, {sa_family=AF_INET, sin_port=htons(50010), '
                'sin_addr=inet_addr("255.255.255.255")}, 128) = 44',
                "close(#) = 0",
            ]
        self.assertEqual(traced, [expected] * 3)
        # A file of comments changes no call, and neither does the report.
        self.assertEqual(self.trace(PluginFolder("# destination = adapters\r\n; log = on\r\n")), traced)
        self.assertEqual(self.trace(PluginFolder("report = on\r\n")), traced)


@harness.not_per_plugin
class BridgeSettingsTest(BridgeTestCase):
    def bridge_copy(self, settings):
        """The bridge in a folder of its own beside its settings file (and, for
        Windows, the stand-in SimConnect.dll)."""
        folder = os.path.join(tempfile.mkdtemp(dir=harness.options.build), FOLDER)
        os.makedirs(folder)
        with open(os.path.join(folder, "kinemora_mfs_2020.ini"), "w") as f:
            f.write(settings)
        return folder, harness.bridge_in(folder)

    def relay(self, port, command):
        listener = self.keep(Listener("--port", port))
        emulator = self.keep(Emulator())
        bridge = self.keep(Process(command))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        listener.wait_count(10, timeout=30)
        bridge.wait_until(lambda: (dots_after(bridge.text(), GREETING) or 0) >= 10, 30, "ten dots")
        return bridge

    def test_destination_option(self):
        bridge = self.relay(50127, harness.command("kinemora_mfs_2020", "--destination", "192.0.2.10:50127"))
        self.assertIsNotNone(dots_after(bridge.text(), GREETING), "standard output carries only the bridge's texts")
        self.assertIn("kinemora_mfs_2020: sending to 192.0.2.10:50127\n", bridge.errors())

    def test_settings_file_beside_the_program(self):
        folder, command = self.bridge_copy("destination = 192.0.2.10:50128\r\nlog = on\r\nmonitor = on\r\n")
        bridge = self.relay(50128, command)
        errors = bridge.errors()
        self.assertIn("kinemora_mfs_2020.ini line 3 ignored: monitor is a setting of the Aerofly FS 2 and FS 4 plug-ins; "
                      "the bridge has no window\n", errors)
        self.assertIn("kinemora_mfs_2020: sending to 192.0.2.10:50128\n", errors)
        bridge.stop()
        with open(os.path.join(folder, "kinemora_mfs_2020.log"), encoding="utf-8") as f:
            log = [line[20:] for line in f.read().splitlines()]
        self.assertRegex(log[0], r"^kinemora_mfs_2020 \d+\.\d+\.\d+ started$")
        self.assertIn("first datagram: 55 bytes to 192.0.2.10:50128", log)

    def test_a_datagram_that_no_destination_took_is_an_x_and_the_console_says_why_and_when_it_works_again(self):
        harness.make_unreachable()
        emulator = self.keep(Emulator())
        bridge = self.keep(Process(harness.command("kinemora_mfs_2020", "--destination",
                                                   f"{harness.UNREACHABLE}:50129")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        bridge.wait_until(lambda: bridge.text().count("x") >= 5, 30, "five x")
        # The route comes back: the same destination takes the datagrams again.
        subprocess.run(["ip", "route", "del", "unreachable", "198.51.100.0/24"], check=True)
        bridge.wait_until(lambda: bridge.text().endswith("." * 5), 30, "five dots")
        unreachable = 10065 if harness.windows() else 113
        self.assertRegex(bridge.text(), "^" + re.escape(
            f"{GREETING}\nsend failed: sendto for {harness.UNREACHABLE}:50129, error {unreachable}: {NO_ROUTE} "
            "(later failures of this kind are only counted)") + "x+" +
            re.escape("\nsending works again: every destination took the datagram") + r"\.+$")

    def test_adapters_with_the_network_down_fall_back_on_their_port_and_find_the_network_when_it_comes_up(self):
        folder, command = self.bridge_copy("destination = adapters:50131\nlog = on\n")
        network = [["addr", "add", "192.0.2.10/24", "dev", "kmv0"], ["route", "add", "default", "dev", "kmv0"]]
        subprocess.run(["ip", "addr", "del", "192.0.2.10/24", "dev", "kmv0"], check=True)
        try:
            listener = self.keep(Listener("--port", 50131))
            emulator = self.keep(Emulator())
            bridge = self.keep(Process(command))
            emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
            bridge.wait_until(lambda: bridge.text().count("x") >= 3, 30, "three x while the network is down")
        finally:
            for args in network:
                subprocess.run(["ip", *args], check=True)
        log_path = os.path.join(folder, "kinemora_mfs_2020.log")
        found = "adapters looked at again: sending to 192.0.2.255:50131"
        bridge.wait_until(lambda: found in open(log_path, encoding="utf-8").read(), 30, "a new look at the adapters")
        listener.wait_count(10, timeout=30)
        self.assertIn("adapters: no IPv4 adapter that is up and has a broadcast address; sending to "
                      "255.255.255.255:50131 until one is found (looked for every 5 s)\n",
                      bridge.errors())

    def test_help_and_version_say_what_they_should_and_connect_to_nothing(self):
        emulator = self.keep(Emulator())
        shown = harness.run(harness.command("kinemora_mfs_2020", "--help"))
        self.assertEqual(shown.returncode, 0)
        self.assertIn("Usage: kinemora_mfs_2020", shown.stdout)
        version = harness.run(harness.command("kinemora_mfs_2020", "--version"))
        self.assertEqual(version.returncode, 0)
        self.assertRegex(version.stdout.strip(), r"^kinemora_mfs_2020 \d+\.\d+\.\d+$")
        time.sleep(1.5)
        self.assertEqual(emulator.matching(r"connected|refused"), [], "--help and --version open no connection")

    def test_mistakes_end_with_status_2_and_nothing_on_standard_output(self):
        # One byte over 64 KB, a good line first: the file is not read at all.
        large = os.path.join(tempfile.mkdtemp(dir=harness.options.build), "large.ini")
        with open(large, "w") as f:
            f.write("log = on\n" + "#" * (64 * 1024 - 9) + "\n")
        large = harness.windows_path(large) if harness.windows() else large
        for args, message in [(["--verbose"], "unknown option '--verbose'"),
                              (["--destination"], "--destination needs a value"),
                              (["--destination", "192.0.2"], "'192.0.2' is not a destination"),
                              (["--config", "no-such-file.ini"], "--config: cannot read no-such-file.ini"),
                              (["--config", large], f"--config: {large} is larger than 64 KB and is not read: "
                                                    "check that it is the settings file")]:
            result = harness.run(harness.command("kinemora_mfs_2020", *args), timeout=60)
            self.assertEqual(result.returncode, 2, args)
            self.assertEqual(result.stdout, "", args)
            self.assertIn(message, result.stderr)
            self.assertIn("Usage: kinemora_mfs_2020", result.stderr)
            self.assertNotIn("Press Enter", result.stderr, "no console of its own: nothing to wait for")


if __name__ == "__main__":
    harness.main()
