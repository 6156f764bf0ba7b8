"""The MSFS bridge end to end against the simulator emulator: the real
kinemora_mfs_2020 (the Windows .exe with the stand-in SimConnect.dll under
Wine, or the native build with libSimConnect.so), kinemora-simulator on the
loopback, and kinemora-listen catching the datagrams in the private network.

This file also holds the helpers that test_bridge_records.py uses."""

import os
import re
import subprocess
import threading
import time
import unittest

import harness

CONNECTED = "\nConnected to Flight Simulator!"
LAUNCH = "\nLaunch a flight."
# The simulator's first record on every connection acknowledges the open; the
# bridge prints its kind like any record it does not handle.
OPEN_ACKNOWLEDGED = "\nReceived:2"
GREETING = CONNECTED + LAUNCH + OPEN_ACKNOWLEDGED
CLOCK_LIMIT_US = 10_000_000


class LiveProcess:
    """A program in its own process group whose output is collected as it
    arrives: stdout as text and as timestamped lines, stderr as text."""

    def __init__(self, cmd, env=None, stdin=False):
        self.cmd = cmd
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE if stdin else subprocess.DEVNULL,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     start_new_session=True, env=env)
        self.lock = threading.Lock()
        self.out = b""
        self.err = b""
        self.lines = []  # (monotonic seconds when complete, line)
        self.partial = b""
        self.readers = [threading.Thread(target=self._pump, args=(self.proc.stdout, True), daemon=True),
                        threading.Thread(target=self._pump, args=(self.proc.stderr, False), daemon=True)]
        for reader in self.readers:
            reader.start()

    def _pump(self, stream, is_stdout):
        while True:
            chunk = os.read(stream.fileno(), 65536)
            if not chunk:
                return
            now = time.monotonic()
            with self.lock:
                if not is_stdout:
                    self.err += chunk
                    continue
                self.out += chunk
                *complete, self.partial = (self.partial + chunk).split(b"\n")
                self.lines += [(now, line.rstrip(b"\r").decode(errors="replace")) for line in complete]

    def text(self):
        """Everything printed so far; Windows' text-mode line ends read as plain line breaks."""
        with self.lock:
            return self.out.decode(errors="replace").replace("\r\n", "\n")

    def errors(self):
        with self.lock:
            return self.err.decode(errors="replace")

    def matching(self, pattern):
        """(time, match) of every complete stdout line that matches."""
        regex = re.compile(pattern)
        with self.lock:
            found = [(t, regex.search(line)) for t, line in self.lines]
        return [(t, m) for t, m in found if m]

    def wait_until(self, condition, timeout, what):
        deadline = time.monotonic() + timeout
        while not condition():
            if self.proc.poll() is not None and not condition():
                raise AssertionError(f"{self.cmd[-1]} ended ({self.proc.returncode}) before {what}\n"
                                     f"{self.text()}\n{self.errors()}")
            if time.monotonic() > deadline:
                raise AssertionError(f"{what}: not within {timeout} s\n--- stdout:\n{self.text()}\n"
                                     f"--- stderr:\n{self.errors()}")
            time.sleep(0.01)

    def stop(self):
        harness.end_process_group(self.proc)
        for reader in self.readers:
            reader.join(10)
        for stream in (self.proc.stdin, self.proc.stdout, self.proc.stderr):
            if stream:
                stream.close()


class Emulator(LiveProcess):
    """kinemora-simulator with every request and delivery printed, driven by
    commands on its standard input. Natively by default, also in the Wine
    variant: the loopback hop to the Windows stand-in works all the same."""

    def __init__(self, *args, windows_binary=False, env=None):
        super().__init__(harness.command("kinemora-simulator", "--verbose", *args, windows_binary=windows_binary),
                         env=env, stdin=True)
        self.wait_lines(r"^listening on 127\.0\.0\.1:\d+", 1, 60)

    def send(self, *commands):
        for command in commands:
            self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()

    def wait_lines(self, pattern, count, timeout=15):
        """Waits until at least count lines match; returns all matches."""
        self.wait_until(lambda: len(self.matching(pattern)) >= count, timeout,
                        f"{count} emulator line(s) matching {pattern!r}")
        return self.matching(pattern)

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
            except (BrokenPipeError, subprocess.TimeoutExpired):
                pass
        super().stop()


class Listener(LiveProcess):
    """kinemora-listen (the native one), read as it prints, so that a long
    stream never fills its output pipe."""

    def __init__(self):
        super().__init__(harness.command("kinemora-listen", "--hex", windows_binary=False))
        self.wait_until(lambda: "listening on UDP port" in self.errors(), 30, "the listener binds its port")

    def datagrams(self):
        with self.lock:
            lines = [line for _, line in self.lines]
        return [d for d in map(harness.parse_line, lines) if d]

    def wait_count(self, count, timeout=15):
        self.wait_until(lambda: len(self.datagrams()) >= count, timeout, f"{count} datagrams at the listener")
        return self.datagrams()


def start_bridge(env=None):
    return LiveProcess(harness.command("kinemora_mfs_2020"), env=env)


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
            self.assertNotIn("departure", process.errors(), f"{process.cmd[-1]} reported a departure")

    def keep(self, process):
        self.processes.append(process)
        return process


class BridgeConnectionTest(BridgeTestCase):
    def test_waits_silently_for_the_simulator_then_relays(self):
        listener = self.keep(Listener())
        bridge = self.keep(start_bridge())
        time.sleep(2.5)
        self.assertEqual(bridge.text(), "", "nothing is printed while no simulator runs")

        emulator = self.keep(Emulator("--offline"))
        refusals = emulator.wait_lines(r"^refused a connection", 4, timeout=15)
        times = [t for t, _ in refusals]
        gaps = sorted(b - a for a, b in zip(times, times[1:]))
        self.assertTrue(0.9 <= gaps[len(gaps) // 2] <= 1.3, f"an open attempt about every second: {gaps}")
        self.assertTrue(all(0.7 <= g <= 2.0 for g in gaps), f"open attempts {gaps} s apart")
        self.assertEqual(bridge.text(), "", "failed opens print nothing")

        emulator.send("online")
        emulator.wait_lines(r"^client 'Request Data' connected$", 1)
        wait_for_dots(self, bridge, 10)
        bridge.stop()
        deliveries = len(emulator.deliveries())
        time.sleep(0.3)

        text = bridge.text()
        dots = dots_after(text, GREETING)
        self.assertIsNotNone(dots, f"both messages, then only dots: {text!r}")
        datagrams = listener.datagrams()
        # The bridge may have been stopped between a send and its dot.
        self.assertIn(len(datagrams), (dots, dots + 1))
        self.assertLessEqual(len(datagrams), deliveries)
        self.assertTrue(all(d["kind"] == "K2" and len(d["hex"]) == 110 for d in datagrams))
        check_running_clock(self, datagrams)

    def test_reconnects_after_the_quit_notice_and_after_a_dropped_connection(self):
        listener = self.keep(Listener())
        emulator = self.keep(Emulator())
        bridge = self.keep(start_bridge())
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)

        endings = [
            ("quit", r"^client 'Request Data' disconnected: the client closed the connection$"),
            ("drop", r"^client 'Request Data' disconnected: dropped by the command 'drop'$"),
        ]
        for connection, (command, ended) in enumerate(endings, start=2):
            emulator.send("offline", command)
            emulator.wait_lines(ended, 1)
            refused = len(emulator.refusals())
            emulator.wait_lines(r"^refused a connection", refused + 1, timeout=10)
            shown = bridge.text()
            emulator.send("online")
            emulator.wait_lines(r"^client 'Request Data' connected$", connection, timeout=10)
            bridge.wait_until(lambda: (dots_after(bridge.text(), shown + GREETING) or 0) >= 5, 10,
                              f"connection {connection} greets and relays")
        bridge.stop()
        time.sleep(0.3)

        text = bridge.text()
        pieces = re.fullmatch(r"(?:\nConnected to Flight Simulator!\nLaunch a flight\.\nReceived:2(\.*)){3}", text)
        self.assertIsNotNone(pieces, f"three times both messages and the open acknowledgement, then dots: {text!r}")
        self.assertEqual(len(emulator.matching(r"^sent the quit notice")), 1)
        datagrams = listener.datagrams()
        dots = text.count(".") - 3
        self.assertIn(len(datagrams), (dots, dots + 1))
        check_running_clock(self, datagrams)

        # A dropped connection is noticed after two seconds of failing
        # dispatch, and the next open follows a second later.
        dropped = emulator.matching(r"^client 'Request Data' disconnected: dropped")[0][0]
        retry = min(t for t, _ in emulator.refusals() if t > dropped)
        self.assertTrue(2.9 <= retry - dropped <= 5.0, f"the bridge tried again {retry - dropped:.2f} s after the drop")

    def test_failing_dispatch_ends_the_connection_only_after_two_seconds_without_records(self):
        # The stand-in plays a client library that reports failure whenever
        # nothing is queued: between frames every pass fails.
        env = dict(os.environ, KINEMORA_SIMCONNECT_QUIET_FAILS="1")
        listener = self.keep(Listener())
        emulator = self.keep(Emulator())
        bridge = self.keep(start_bridge(env=env))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)
        time.sleep(3)
        self.assertEqual(emulator.matching(r"disconnected"), [], "frames keep arriving: the connection stays")
        relayed = len(listener.datagrams())
        self.assertGreater(relayed, 60)

        emulator.send("hold")
        held = emulator.wait_lines(r"^hold: ", 1)[0][0]
        gone = emulator.wait_lines(r"^client 'Request Data' disconnected: the client closed the connection$", 1,
                                   timeout=10)[0][0]
        self.assertTrue(1.9 <= gone - held <= 3.5, f"the bridge closed {gone - held:.2f} s after the last frame")
        emulator.wait_lines(r"^client 'Request Data' connected$", 2, timeout=10)

    def test_relays_the_built_in_flight_from_the_emulator_of_the_same_build(self):
        # A port of its own through the environment: the stand-in reads it too.
        env = dict(os.environ, KINEMORA_SIMULATOR_PORT="50123")
        listener = self.keep(Listener())
        emulator = self.keep(Emulator("--port", 50123, windows_binary=harness.windows()))
        bridge = self.keep(start_bridge(env=env))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 20)
        # One dispatch call a millisecond: a pump that does not sleep, or sleeps
        # in 15.6 ms steps as Windows does without a raised timer resolution, fails.
        rate = emulator.dispatch_rate(2.0)
        print(f"dispatch calls per second: {rate:.0f}")
        self.assertTrue(200 <= rate <= 1100, f"{rate:.0f} dispatch calls per second")
        bridge.stop()
        time.sleep(0.3)

        datagrams = listener.datagrams()
        self.assertGreaterEqual(len(datagrams), 20)
        for d in datagrams:
            self.assertEqual(d["kind"], "K2")
            self.assertEqual(len(d["hex"]), 110)
            heading = float(d["heading"])
            self.assertTrue(0.0 <= heading < 6.2832, heading)
        # The built-in flight waits ten seconds on the runway before it rolls.
        self.assertEqual(float(datagrams[0]["velocity_body_z"]), 0.0)
        deliveries = emulator.deliveries()
        frames = [int(m.group(1)) for _, m in deliveries]
        self.assertEqual(frames, sorted(frames), "one delivery per frame, in order")
        self.assertEqual(len(set(frames)), len(frames))


if __name__ == "__main__":
    harness.main()
