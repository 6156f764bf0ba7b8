"""The one harness of the end-to-end tests and the benchmarks: the
private-network guard, the programs under test (native, or Windows under
Wine, whose server and background programs it starts first), background
processes whose output is read as it arrives, the listener as the receiver of
every test, the plug-in under test (--plugin: kinemora_aerofly_fs_2 by
default, or kinemora_aerofly_fs_4), and the simulator emulator and the bridge.
Beside it: the Wine session in wine_session.py, the K01 and K2 datagrams
in datagrams.py, tmux in terminal.py, the import and export tables of the
binaries in pe_tables.py, the benchmarks' timestamping receiver in
stamped_receiver.py."""

import argparse
import collections
import functools
import os
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
import unittest

from wine_session import (WINE_RUN, end_wine, end_wine_programs, follow_display,  # noqa: F401
                          start_first_wine, start_wine, wine_log)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPTS = os.path.join(ROOT, "scripts")

DEFAULT_PLUGIN = "kinemora_aerofly_fs_2"
options = argparse.Namespace(build=None, win_build=None, variant="native", plugin=DEFAULT_PLUGIN)


def require_private_network():
    """Refuses to go on unless this process runs inside scripts/private-net."""
    check = subprocess.run([os.path.join(SCRIPTS, "check-private-net")])
    if check.returncode != 0:
        sys.exit("refusing to run a test that sends outside a private network namespace")


def windows():
    return options.variant == "wine"


def windows_path(path):
    """The path as a Windows program under Wine sees it: the Linux root is drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# An address that no send can reach: make_unreachable() turns its network
# into an "unreachable" route of the test's own namespace, so sendto fails
# there (EHOSTUNREACH, WSAEHOSTUNREACH under Wine) and nowhere else.
UNREACHABLE = "198.51.100.7"


def make_unreachable():
    require_private_network()
    subprocess.run(["ip", "route", "replace", "unreachable", "198.51.100.0/24"], check=True)


def command(name, *args, windows_binary=None):
    """The command line that runs one of the project's programs in the chosen variant."""
    use_windows = windows() if windows_binary is None else windows_binary
    if use_windows:
        exe = os.path.join(options.win_build, "bin", name + ".exe")
        if not os.path.exists(exe):
            raise FileNotFoundError(
                f"{exe} is missing: build the win64 preset first (cmake --build --preset win64)")
        return [WINE_RUN, exe, *map(str, args)]
    return [os.path.join(options.build, "bin", name), *map(str, args)]


def bridge_in(folder, *args):
    """The command of a copy of the bridge in folder (with the stand-in
    SimConnect.dll beside it for Windows), whose settings file and log lie there."""
    cmd = command("kinemora_mfs_2020", *args)
    at = len(cmd) - 1 - len(args)
    shutil.copy(cmd[at], folder)
    if windows():
        shutil.copy(os.path.join(os.path.dirname(cmd[at]), "SimConnect.dll"), folder)
    cmd[at] = os.path.join(folder, os.path.basename(cmd[at]))
    return cmd


def library(name, windows_binary=None):
    use_windows = windows() if windows_binary is None else windows_binary
    if use_windows:
        return os.path.join(options.win_build, "bin", name + ".dll")
    return os.path.join(options.build, "bin", "lib" + name + ".so")


PluginUnderTest = collections.namedtuple("PluginUnderTest", "name edition path")


def plugin(windows_binary=None):
    """The plug-in under test (--plugin): its name, which also names its
    settings file and log, the Aerofly edition whose exports it has ("2" or
    "4"), and the library's path in the chosen variant."""
    return PluginUnderTest(options.plugin, options.plugin.rsplit("_", 1)[1], library(options.plugin, windows_binary))


def not_per_plugin(case):
    """Marks a test, or a class of tests, that does not load the plug-in: it
    runs in the default plug-in's run only, not again for another plug-in."""
    def skip_for_another_plugin():
        if options.plugin != DEFAULT_PLUGIN:
            raise unittest.SkipTest(f"does not load the plug-in: runs with {DEFAULT_PLUGIN} only")

    if isinstance(case, type):
        set_up_class = case.setUpClass

        def setUpClass(cls):
            skip_for_another_plugin()
            set_up_class()
        case.setUpClass = classmethod(setUpClass)
        return case

    @functools.wraps(case)
    def test(*args, **kwargs):
        skip_for_another_plugin()
        return case(*args, **kwargs)
    return test


def wait_for(condition, timeout, what):
    """Waits for condition() to hold, looking every 50 ms; fails once timeout
    seconds have passed without it."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise AssertionError(f"{what} did not happen within {timeout} s")
        time.sleep(0.05)


def run(cmd, timeout=120, **kwargs):
    """Runs a command to its end; returns the CompletedProcess with text output
    (bytes that are not UTF-8, as Windows programs may print, replaced)."""
    follow_display(cmd, kwargs.get("env"))
    return subprocess.run(cmd, capture_output=True, text=True, errors="replace", timeout=timeout, **kwargs)


def end_process(proc):
    """Ends a program with SIGTERM, then SIGKILL after 10 s: with everything it
    started when it leads a process group of its own (start_new_session=True)."""
    if proc.poll() is not None:
        return
    try:
        group = os.getpgid(proc.pid) == proc.pid
    except ProcessLookupError:
        group = False

    def send(number):
        try:
            os.killpg(proc.pid, number) if group else proc.send_signal(number)
        except ProcessLookupError:
            pass

    send(signal.SIGTERM)
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        send(signal.SIGKILL)
        proc.wait(10)


class Process:
    """A program in the background in its own process group, so that stopping
    it also stops what Wine started for it. Its output is collected as it
    arrives, so that a long stream never fills a pipe: stdout as text and as
    lines with the monotonic time each was complete, stderr as text, both
    with Windows' text-mode line ends read as plain line breaks. With
    stdin=True, write() feeds its standard input; otherwise it has none. With
    job=True its process group lies in this session, as a shell's job does."""

    def __init__(self, cmd, env=None, stdin=False, job=False):
        follow_display(cmd, env)
        self.cmd = cmd
        self.name = os.path.basename(cmd[1] if cmd[:1] == [WINE_RUN] and len(cmd) > 1 else cmd[0])
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE if stdin else subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     start_new_session=not job, process_group=0 if job else None, env=env)
        self.lock = threading.Lock()
        self.out = bytearray()
        self.err = bytearray()
        self.lines = []  # (monotonic seconds when complete, line)
        self.partial = b""
        self.readers = [threading.Thread(target=self._pump, args=(self.proc.stdout, True), daemon=True),
                        threading.Thread(target=self._pump, args=(self.proc.stderr, False), daemon=True)]
        for reader in self.readers:
            reader.start()

    def _pump(self, stream, is_stdout):
        while True:
            chunk = os.read(stream.fileno(), 65536)
            now = time.monotonic()
            with self.lock:
                if not is_stdout:
                    self.err += chunk
                elif chunk:
                    self.out += chunk
                    *complete, self.partial = (self.partial + chunk).split(b"\n")
                    self.lines += [(now, line.rstrip(b"\r").decode(errors="replace")) for line in complete]
                elif self.partial:  # the last line, without a line break
                    self.lines.append((now, self.partial.rstrip(b"\r").decode(errors="replace")))
                    self.partial = b""
            if not chunk:
                return

    def text(self):
        """Everything printed on stdout so far."""
        with self.lock:
            return self.out.decode(errors="replace").replace("\r\n", "\n")

    def errors(self):
        """Everything printed on stderr so far."""
        with self.lock:
            return self.err.decode(errors="replace").replace("\r\n", "\n")

    def stdout_lines(self):
        """The complete stdout lines so far, without their line ends."""
        with self.lock:
            return [line for _, line in self.lines]

    def matching(self, pattern):
        """(time, match) of every complete stdout line that matches."""
        regex = re.compile(pattern)
        with self.lock:
            found = [(t, regex.search(line)) for t, line in self.lines]
        return [(t, m) for t, m in found if m]

    def wait_lines(self, pattern, count, timeout=15):
        """Waits until at least count stdout lines match; returns all matches."""
        self.wait_until(lambda: len(self.matching(pattern)) >= count, timeout,
                        f"{count} line(s) of {self.name} matching {pattern!r}")
        return self.matching(pattern)

    def wait_until(self, condition, timeout, what):
        """Waits for condition() to hold; fails with the program's output when
        it ends first or timeout seconds pass."""
        deadline = time.monotonic() + timeout
        while not condition():
            if self.proc.poll() is not None and not condition():
                self._join_readers()
                if condition():
                    return
                raise AssertionError(f"{self.name} ended ({self.proc.returncode}) before {what}\n"
                                     f"--- stdout:\n{self.text()}\n--- stderr:\n{self.errors()}")
            if time.monotonic() > deadline:
                raise AssertionError(f"{what}: not within {timeout} s\n--- stdout:\n{self.text()}\n"
                                     f"--- stderr:\n{self.errors()}")
            time.sleep(0.01)

    def write(self, text):
        """Feeds text to the program's standard input (stdin=True)."""
        try:
            self.proc.stdin.write(text.encode())
            self.proc.stdin.flush()
        except BrokenPipeError:
            raise AssertionError(f"{self.name} no longer reads its input ({self.proc.poll()})\n"
                                 f"--- stdout:\n{self.text()}\n--- stderr:\n{self.errors()}") from None

    def wait(self, timeout):
        """Closes the program's input, waits for its own end and the rest of its
        output; returns (exit status, stdout, stderr). One that runs on is
        stopped, and fails."""
        if self.proc.stdin:
            try:
                self.proc.stdin.close()
            except BrokenPipeError:
                pass
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            out, err = self.stop()
            raise AssertionError(f"{self.cmd} did not finish in {timeout} s\n{out}\n{err}") from None
        self._join_readers()
        return self.proc.returncode, self.text(), self.errors()

    def stop(self):
        """Ends the program and everything it started, if it still runs;
        returns (stdout, stderr)."""
        end_process(self.proc)
        self._join_readers()
        for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            if stream:
                try:
                    stream.close()
                except BrokenPipeError:
                    pass
        return self.text(), self.errors()

    def _join_readers(self):
        for reader in self.readers:
            reader.join(10)


LINE = re.compile(r"^\s*(?P<arrival>[0-9.]+) from=(?P<source>\S+) (?P<kind>K01|K2|unrecognised) (?P<rest>.*)$")


def parse_line(line):
    """One line of kinemora-listen's output as a dict of its named fields."""
    m = LINE.match(line)
    if not m:
        return None
    fields = {"arrival": float(m["arrival"]), "source": m["source"], "kind": m["kind"]}
    for pair in m["rest"].split(" "):
        if "=" in pair:
            key, value = pair.split("=", 1)
            fields[key] = value
    return fields


class Listener(Process):
    """kinemora-listen --hex in the background (the native one unless
    windows_binary), ready once it has bound its port."""

    def __init__(self, *args, windows_binary=False):
        super().__init__(command("kinemora-listen", "--hex", *args, windows_binary=windows_binary))
        self.wait_until(lambda: "listening on UDP port" in self.errors(), 60, "the listener binds its port")

    def datagrams(self):
        """Each datagram line so far, as parse_line reads it."""
        return [d for d in map(parse_line, self.stdout_lines()) if d]

    def wait_count(self, count, timeout=15):
        self.wait_until(lambda: len(self.datagrams()) >= count, timeout, f"{count} datagrams at the listener")
        return self.datagrams()

    def finish(self, timeout=60):
        """Waits for the listener's own end (--count or --timeout); returns (datagrams, summary)."""
        code, out, err = self.wait(timeout)
        if code != 0:
            raise AssertionError(f"listener failed with {code}: {err}")
        summary = "\n".join(l for l in out.splitlines() if l.startswith(("summary:", "rate:")))
        return self.datagrams(), summary


# The bridge and the simulator emulator.

CONNECTED = "\nConnected to Flight Simulator!"
LAUNCH = "\nLaunch a flight."
# The simulator's first record on every connection acknowledges the open; the
# bridge prints its kind like any record it does not handle.
OPEN_ACKNOWLEDGED = "\nReceived:2"
GREETING = CONNECTED + LAUNCH + OPEN_ACKNOWLEDGED
CLOCK_LIMIT_US = 10_000_000


class Emulator(Process):
    """kinemora-simulator with every request and delivery printed, driven by
    commands on its standard input. Natively by default, also in the Wine
    variant: the loopback hop to the Windows stand-in works all the same."""

    def __init__(self, *args, windows_binary=False, env=None):
        super().__init__(command("kinemora-simulator", "--verbose", *args, windows_binary=windows_binary),
                         env=env, stdin=True)
        self.wait_lines(r"^listening on 127\.0\.0\.1:\d+", 1, 60)

    def send(self, *commands):
        self.write("".join(command + "\n" for command in commands))

    def requests(self):
        return self.matching(r"^request (\d+) for definition (\d+) \((\d+) pending\)$")

    def deliveries(self):
        return self.matching(r"^delivered frame (\d+) to request (\d+): (\d+) values at ([0-9.]+)")

    def refusals(self):
        return self.matching(r"^refused a connection: the simulator is offline$")

    def dispatch_rate(self, seconds):
        """Dispatch calls per second that the client reported over at least
        the given span (waits until it has reported for that long)."""
        def span():
            reports = self.matching(r"^dispatch calls: (\d+) at ([0-9.]+)$")
            if len(reports) < 2:
                return None
            first, last = reports[0][1], reports[-1][1]
            elapsed = float(last.group(2)) - float(first.group(2))
            return (int(last.group(1)) - int(first.group(1))) / elapsed if elapsed >= seconds else None
        self.wait_until(lambda: span() is not None, seconds + 10, f"{seconds} s of dispatch reports")
        return span()

    def status(self):
        """Asks for the status and returns its line."""
        before = len(self.matching(r"^status: "))
        self.send("status")
        return self.wait_lines(r"^status: .*", before + 1)[-1][1].group(0)

    def stop(self):
        if self.proc.poll() is None:
            try:
                self.send("exit")
                self.proc.wait(10)
            except (AssertionError, subprocess.TimeoutExpired):
                pass
        return super().stop()


def start_bridge(env=None):
    return Process(command("kinemora_mfs_2020"), env=env)


def dots_after(text, prefix):
    """The count of dots after prefix when text is prefix followed by dots only, else None."""
    rest = text[len(prefix):] if text.startswith(prefix) else None
    return len(rest) if rest is not None and rest == "." * len(rest) else None


def wait_for_dots(test, bridge, count, timeout=20):
    bridge.wait_until(lambda: bridge.text().count(".") - bridge.text().count("flight.") >= count, timeout,
                      f"{count} dots from the bridge")


def check_running_clock(test, datagrams, tolerance_s=0.3):
    """The time fields of one bridge process's datagrams form the running
    clock: 0 first; after that the microseconds since the clock's last start,
    at most ten seconds; and 0 again (a restart) wherever more than ten seconds
    have passed since that start, and only there. Compared with the
    listener's arrival times; the program's start, where the clock starts
    first, is known only from the first field that counts from it."""
    test.assertEqual(int(datagrams[0]["time_us"]), 0, "the program's first datagram carries 0")
    limit_s = CLOCK_LIMIT_US / 1e6
    start = None  # the clock's last start on the listener's clock
    for d in datagrams[1:]:
        field, arrival = int(d["time_us"]), d["arrival"]
        if field == 0:
            if start is not None:
                test.assertGreater(arrival - start, limit_s - tolerance_s,
                                   f"the clock restarted {arrival - start:.3f} s after its start")
            start = arrival
            continue
        test.assertLessEqual(field, CLOCK_LIMIT_US)
        if start is None:
            start = arrival - field / 1e6
        test.assertLess(abs(arrival - start - field / 1e6), tolerance_s,
                        f"field {field} arrived {arrival - start:.3f} s after the clock's start")
        test.assertLess(arrival - start, limit_s + tolerance_s,
                        f"field {field} {arrival - start:.3f} s after the clock's start: it should have restarted")


class BridgeTestCase(unittest.TestCase):
    """Starts and always stops the processes of one test."""

    def setUp(self):
        self.processes = []

    def tearDown(self):
        for process in reversed(self.processes):
            process.stop()
        # The emulator reports every call that differs from the bridge's fixed
        # calls, and the stand-in every call on a handle that is not open.
        for process in self.processes:
            self.assertNotIn("departure", process.errors(), f"{process.name} reported a departure")

    def keep(self, process):
        self.processes.append(process)
        return process


def main():
    """Parses the common options, checks the network, then runs the unittest cases."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="native build tree")
    parser.add_argument("--win-build", help="win64 build tree")
    parser.add_argument("--variant", choices=["native", "wine"], default="native")
    parser.add_argument("--plugin", choices=[DEFAULT_PLUGIN, "kinemora_aerofly_fs_4"], default=DEFAULT_PLUGIN,
                        help="the plug-in under test")
    parsed, rest = parser.parse_known_args()
    options.build, options.win_build, options.variant = parsed.build, parsed.win_build, parsed.variant
    options.plugin = parsed.plugin
    require_private_network()
    if windows():
        start_first_wine()
    try:
        unittest.main(argv=[sys.argv[0], "-v", *rest])
    finally:
        end_wine()
