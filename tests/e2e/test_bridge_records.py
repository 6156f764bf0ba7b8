"""What the bridge does with each kind of record, one step at a time: the
emulator holds every request until told to answer it, so each delivery, event
and odd record can be matched with what the bridge prints and sends.

Runs the real kinemora_mfs_2020 (natively, or the Windows .exe with the
stand-in SimConnect.dll under Wine) against the native emulator."""

import math
import os
import re
import shutil
import struct
import tempfile
import time

import harness
from datagrams import K2_FIELDS, f32
from harness import GREETING, BridgeTestCase, Emulator, Listener, Process, check_running_clock, start_bridge

# Definition 0 as the bridge must register it, in order; velocities in metres per second.
DEFINITION = [
    ("VELOCITY BODY Z", "meters per second"),
    ("VELOCITY BODY X", "meters per second"),
    ("VELOCITY BODY Y", "meters per second"),
    ("ACCELERATION BODY Z", "meters per second squared"),
    ("ACCELERATION BODY X", "meters per second squared"),
    ("ACCELERATION BODY Y", "meters per second squared"),
    ("PLANE BANK DEGREES", "radians"),
    ("PLANE PITCH DEGREES", "radians"),
    ("PLANE HEADING DEGREES TRUE", "radians"),
    ("ROTATION VELOCITY BODY Z", "radians per second"),
    ("ROTATION VELOCITY BODY X", "radians per second"),
    ("ROTATION VELOCITY BODY Y", "radians per second"),
]
COLUMNS = K2_FIELDS  # the profile's columns, in definition order

# What each edition of the emulator announces, as the bridge's log must name it.
EDITIONS = [
    ("2020", "simulator: KittyHawk 11.0.282174.999, SimConnect 11.0.62651.3 "
             "(developers report this name for MSFS 2020)"),
    ("2024", "simulator: SunRise 12.1.282174.999, SimConnect 12.1.71436.2 "
             "(developers report this name for MSFS 2024)"),
]
# Wine 8 has SetProcessInformation, but not the power-throttling part of it.
WINE_THROTTLING = ("power throttling: no opt-out on this system (SetProcessInformation answered error 1: "
                   "not implemented, as under Wine); nothing to do")

NAN, INF = float("nan"), float("inf")
# One row per frame. Distinct values everywhere, so that any mix-up of the
# order shows; and the narrowing's edges: beyond the single range, NaNs of
# both signs, ties to even, subnormals, the sign of zero.
ROWS = [[float(v) for v in row] for row in [
    [1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0],
    [0.1, -2.5, 1e39, -1e39, NAN, -NAN, 1 + 2 ** -24, 1 + 3 * 2 ** -24, 2 ** -149, -0.0, INF, -INF],
    [2 ** 128 - 2 ** 103, 2 ** 128 - 3 * 2 ** 102, 2 ** -150, 1e-300, 123456.789, -65504.25,
     3.14159265358979, -1.0e-3, 6.2831853, 0.5, -0.25, 1e30],
]]


def cell(value):
    if math.isnan(value):
        return "-nan" if math.copysign(1.0, value) < 0 else "nan"
    return repr(value)  # the shortest text that reads back to the same double


def single(value):
    """The little-endian single the bridge must make of a double: nearest,
    ties to even, infinity beyond the range, a quiet NaN of the same sign."""
    if math.isnan(value):
        return struct.pack("<I", 0xFFC00000 if math.copysign(1.0, value) < 0 else 0x7FC00000)
    return struct.pack("<f", f32(value))


def expected_floats(row):
    return b"".join(single(v) for v in row).hex()


class BridgeRecordsTest(BridgeTestCase):
    def start(self, *emulator_args):
        """Listener, held emulator and bridge; returns them once the bridge's first request waits."""
        listener = self.keep(Listener())
        emulator = self.keep(Emulator("--hold", *emulator_args))
        bridge = self.keep(start_bridge())
        emulator.wait_lines(r"^request 0 for definition 0 \(1 pending\)$", 1, timeout=60)
        bridge.wait_until(lambda: bridge.text() == GREETING, 10, "both messages")
        return listener, emulator, bridge

    def step(self, emulator, listener, datagrams_after, requests_after):
        emulator.send("step")
        listener.wait_count(datagrams_after)
        emulator.wait_until(lambda: len(emulator.requests()) >= requests_after, 10,
                            f"{requests_after} requests")

    def assert_quiet(self, emulator, listener, bridge, datagrams, requests, text):
        """Nothing further happens: the status round trip gives the bridge time to act."""
        time.sleep(0.3)
        emulator.status()
        self.assertEqual(len(listener.datagrams()), datagrams)
        self.assertEqual(len(emulator.requests()), requests)
        self.assertEqual(bridge.text(), text)

    def test_each_delivery_becomes_exactly_one_datagram_with_its_values_narrowed(self):
        with tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False, dir=harness.options.build) as f:
            # Columns in reverse: the emulator maps them by name, the bridge's definition sets the order.
            # Named as in a recording of the bridge's datagrams, they hold what the simulator delivers.
            f.write(",".join("k2_" + column for column in reversed(COLUMNS)) + "\n")
            for row in ROWS:
                f.write(",".join(cell(v) for v in reversed(row)) + "\n")
            profile = f.name
        try:
            listener, emulator, bridge = self.start("--profile", profile)
        finally:
            os.unlink(profile)

        registered = [m.groups() for _, m in emulator.matching(
            r"^definition 0 #(\d+): (.*) in (.*) \(type 4, epsilon 0, datum ID 4294967295\)$")]
        self.assertEqual(registered, [(str(i + 1), name, units) for i, (name, units) in enumerate(DEFINITION)])
        self.assertEqual(len(emulator.matching(r"^subscribed event 0 to SimStart$")), 1)

        steps = 2 * len(ROWS)  # each row twice
        for n in range(1, steps + 1):
            self.step(emulator, listener, n, n + 1)
        self.assert_quiet(emulator, listener, bridge, steps, steps + 1, GREETING + "." * steps)

        datagrams = listener.datagrams()
        deliveries = emulator.deliveries()
        self.assertEqual(len(deliveries), steps)
        for d, (_, delivery) in zip(datagrams, deliveries):
            row = ROWS[int(delivery.group(1)) % len(ROWS)]
            raw = bytes.fromhex(d["hex"])
            self.assertEqual(len(raw), 55)
            self.assertEqual(raw[:3], b"K2,")
            self.assertEqual(raw[7:].hex(), expected_floats(row), f"frame {delivery.group(1)}")
        check_running_clock(self, datagrams)
        requests = {m.groups()[:2] for _, m in emulator.requests()}
        self.assertEqual(requests, {("0", "0")}, "always request 0 for definition 0")

    def pending(self, emulator):
        return int(re.search(r", (\d+) pending,", emulator.status()).group(1))

    def test_simstart_other_events_other_requests_other_kinds_and_short_records(self):
        listener, emulator, bridge = self.start()
        text = GREETING

        # A quiet connection is never dropped: nothing arrives, dispatch succeeds.
        time.sleep(2.5)
        self.assertEqual(emulator.matching(r"disconnected"), [])

        # "SimStart" under event ID 0 asks once more, beside the waiting request.
        emulator.send("simstart")
        emulator.wait_lines(r"^request 0 for definition 0 \(2 pending\)$", 1)
        # Another event ID, and a delivery for another request: nothing at all.
        emulator.send("event 7", "event 256", "data 5")
        self.assert_quiet(emulator, listener, bridge, 0, 2, text)

        # Another kind is printed and changes nothing.
        emulator.send("record 7")
        bridge.wait_until(lambda: bridge.text() == text + "\nReceived:7", 10, "the bridge prints the kind")
        emulator.send("record 1")
        text += "\nReceived:7\nReceived:1"
        bridge.wait_until(lambda: bridge.text() == text, 10, "the bridge prints the kind")

        # Both waiting requests are answered; each delivery asks for the next.
        self.step(emulator, listener, 2, 4)
        text += ".."
        self.assert_quiet(emulator, listener, bridge, 2, 4, text)
        self.assertEqual(self.pending(emulator), 2)

        # Too short for twelve values: no datagram and no dot, but the chain goes on.
        emulator.send("short")
        emulator.wait_lines(r"^delivered frame \d+ to request 0: 11 values", 1)
        emulator.send("short 0")
        emulator.wait_lines(r"^delivered frame \d+ to request 0: 0 values", 1)
        self.assert_quiet(emulator, listener, bridge, 2, 6, text)
        self.assertEqual(self.pending(emulator), 2)

        self.step(emulator, listener, 4, 8)
        text += ".."
        self.assert_quiet(emulator, listener, bridge, 4, 8, text)
        self.assertIn("client 'Request Data' connected", emulator.status())
        self.assertEqual(len(emulator.matching(r"disconnected")), 0)

    def bridge_with_log(self):
        """The bridge with --log in a folder of its own (with the stand-in
        SimConnect.dll for Windows); returns it and its log's path."""
        folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, folder, True)  # after tearDown has stopped the bridge
        return self.keep(Process(harness.bridge_in(folder, "--log"))), os.path.join(folder, "kinemora_mfs_2020.log")

    def test_the_log_names_the_edition_that_answered_and_every_exception(self):
        for edition, simulator in EDITIONS:
            with self.subTest(edition=edition):
                try:
                    self.check_log(edition, simulator)
                finally:
                    for process in self.processes:
                        process.stop()

    def check_log(self, edition, simulator):
        emulator = self.keep(Emulator("--hold", "--edition", edition))
        bridge, path = self.bridge_with_log()
        bridge.wait_until(lambda: bridge.text() == GREETING, 60, "both messages and the open record")
        emulator.send("exception 3 15 2")
        bridge.wait_until(lambda: bridge.text() == GREETING + "\nReceived:1", 10, "the exception's kind")

        def log():
            with open(path, encoding="utf-8") as f:
                return [line[20:] for line in f.read().splitlines()]
        exception = "simulator exception 3 (send ID 15, index 2): the simulator refused one of the bridge's calls"
        bridge.wait_until(lambda: any(line.startswith(exception) for line in log()), 10, "the exception logged")
        self.assertEqual([line for line in log() if line.startswith("simulator:")], [simulator])
        throttling = [line for line in log() if line.startswith("power throttling:")]
        self.assertEqual(throttling, [WINE_THROTTLING] if harness.windows() else [])


if __name__ == "__main__":
    harness.main()
