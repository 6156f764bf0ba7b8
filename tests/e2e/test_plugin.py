"""The plug-in end to end: the real library (the Windows DLL under Wine, or
the native .so; kinemora_aerofly_fs_2, or another with --plugin) loaded by
kinemora-host, its datagrams caught by kinemora-listen in the private network."""

import math
import os
import re
import struct
import tempfile
import unittest

import datagrams
import harness
import pe_tables

PITCH = 0x98489FCA9A0C6699
BANK = 0xDCCDBCE630A0100F
VELOCITY = 0x977C869390C770A0
ANGULAR_VELOCITY = 0xC333841907D74F04
RATE_OF_TURN = 0xCE9B17408EF4C81D
TIME = 0x9CA7FB58F287A1F3
ALTITUDE = 0x1D3F45E1D4B6C2A7  # any identifier the plug-in does not know

DOUBLE, VECTOR = 2, 4
BODY, WORLD = 0x02040040, 0x02000040


def record(ident, data_type, payload=b"", flags=0x02000040):
    header = struct.pack("<HHIQQBBBBIQQQQ", 0xAAAA, 64 + len(payload), 0, 0, ident, 0, data_type, 1, 0, 0,
                         0, 0, 0, flags)
    assert len(header) == 64
    return header + payload


def double(ident, value):
    return record(ident, DOUBLE, struct.pack("<d", value))


def vector(ident, x, y, z, flags=BODY):
    return record(ident, VECTOR, struct.pack("<ddd", x, y, z), flags)


def frame(*records, **options):
    extra = "".join(f" {k}={v}" for k, v in options.items())
    return f"frame {len(records)} {b''.join(records).hex() or '-'}{extra}"


def k01(time_us, velocity=(0, 0, 0), bank=0.0, pitch=0.0, rate=0.0, angular=(0, 0, 0)):
    return datagrams.k01(time_us, [*velocity, bank, pitch, rate, *angular]).hex()


def time_field(seconds):
    product = seconds * 1000000.0
    if math.isnan(product) or not (-2.0 ** 63 <= product < 2.0 ** 64):
        return 0
    return int(product) & 0x1FFFFFF


class PluginTest(unittest.TestCase):
    def replay(self, lines, expected_datagrams, host_options=()):
        """Runs a replay script; returns (datagrams as hex, the host's stdout)."""
        with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False, dir=harness.options.build) as f:
            f.write("\n".join(lines) + "\n")
            script = f.name
        plugin = harness.plugin()
        try:
            listener = harness.Listener("--count", max(expected_datagrams, 1), "--timeout",
                                        30 if expected_datagrams else 3)
            host = harness.run(harness.command("kinemora-host", plugin.path, "--replay", script, *host_options),
                               timeout=120)
            self.assertEqual(host.returncode, 0, host.stderr)
            self.assertIn(f"kinemora-host: {plugin.path} is an Aerofly FS {plugin.edition} plug-in\n", host.stderr)
            datagrams, _ = listener.finish()
        finally:
            os.unlink(script)
        return [d["hex"] for d in datagrams], host.stdout

    def lifecycle(self, *host_options):
        motion = [double(PITCH, 0.25), double(BANK, -0.5), vector(VELOCITY, 51.2, -1.5, 2.25),
                  vector(ANGULAR_VELOCITY, 0.1, 0.2, 0.3), double(RATE_OF_TURN, 0.125), double(TIME, 1.5)]
        full = dict(velocity=(51.2, -1.5, 2.25), bank=-0.5, pitch=0.25, rate=0.125, angular=(0.1, 0.2, 0.3))
        got, stdout = self.replay([
            "version",
            frame(*motion).replace(f"frame {len(motion)} ", "frame 0 "),  # count 0: nothing, rule kept
            "frame 3 -",                           # a null stream: an empty frame, rule kept
            frame(*motion),                        # before Init: works; first datagram: time 0
            frame(*motion, delta=123.5, arg3=-7),  # the ignored arguments change nothing
            "init 0",
            frame(*motion),                        # a second Init does not bring time 0 back
            "init 0xFFFFFFFFFFFFFFFF",
            "shutdown",
            frame(*motion),                        # after Shutdown frames still go out
            "frame 6 -",
            "version",
        ], 4, host_options)
        self.assertEqual(got, [k01(0, **full)] + [k01(1500000, **full)] * 3)
        self.assertEqual(stdout.count("interface version 2 (64-bit result 0x0000000000000002)"), 2)
        self.assertEqual(stdout.count("init returned true"), 2)

    def test_lifecycle(self):
        self.lifecycle()

    def test_host_that_never_started_sockets_gets_every_datagram(self):
        # Under Wine every send fails until someone starts Windows Sockets.
        self.lifecycle("--no-sockets")

    def test_values(self):
        lines = [frame(double(TIME, 0.0))]  # uses up the first-datagram rule
        expected = [k01(0)]
        lines.append(frame(record(ALTITUDE, DOUBLE, struct.pack("<d", 5.0)), record(0, 0)))
        expected.append(k01(0))  # no known messages: "K01," and 40 zero bytes
        for bank, sent in [(3.0, 3.0), (3.1, 3.1 - 6.0), (-3.1, -3.1), (6.5, 0.5)]:
            lines.append(frame(double(BANK, bank)))
            expected.append(k01(0, bank=sent))
        for seconds, field in [(1.5, 1500000), (40.0, 6445568), (33.554432, 0), (1.001, 1000999),
                               (-0.000001, 33554431), (float("nan"), 0)]:
            lines.append(frame(double(TIME, seconds)))
            expected.append(k01(field))
        # Last record of a kind wins; a world-frame velocity never counts.
        lines.append(frame(double(PITCH, 0.5), double(PITCH, -0.75), vector(VELOCITY, 1, 2, 3),
                           vector(VELOCITY, 4, 5, 6), vector(VELOCITY, 9, 9, 9, WORLD)))
        expected.append(k01(0, velocity=(4, 5, 6), pitch=-0.75))
        lines.append(frame(vector(VELOCITY, 9, 9, 9, WORLD)))
        expected.append(k01(0))
        # A known identifier with the wrong type is skipped, and the plug-in does not abort.
        lines.append(frame(double(PITCH, 0.5), vector(PITCH, 7, 7, 7), double(ANGULAR_VELOCITY, 1.0),
                           double(VELOCITY, 2.0)))
        expected.append(k01(0, pitch=0.5))
        got, _ = self.replay(lines, len(expected))
        self.assertEqual(got, expected)

    def test_malformed_size_ends_the_frame(self):
        bad = bytearray(double(BANK, 0.3))
        bad[2:4] = struct.pack("<H", 129)
        got, _ = self.replay([frame(double(TIME, 0.0)),
                              frame(double(PITCH, 0.5), bytes(bad), double(RATE_OF_TURN, 1.0)),
                              frame(bytes(bad))], 2)
        self.assertEqual(got, [k01(0), k01(0, pitch=0.5)])

    def test_exports(self):
        plugin = harness.plugin()
        names = pe_tables.exports(plugin.path)
        self.assertEqual(names, [f"Aerofly_FS_{plugin.edition}_External_DLL_{name}"
                                 for name in ("GetInterfaceVersion", "Init", "Shutdown", "Update")])

    def test_long_flight_loses_nothing_and_leaks_nothing(self):
        plugin = harness.plugin()
        rate = 250
        # A minute under Wine; another plug-in, built from the same sources,
        # flies the native run's ten seconds.
        seconds = 60 if harness.windows() and plugin.name == harness.DEFAULT_PLUGIN else 10
        frames = rate * seconds
        # Each variant and plug-in records to its own file: ctest may run them at once.
        recording = os.path.join(harness.options.build, f"plugin-flight-{harness.options.variant}-{plugin.name}.csv")
        listener = harness.Listener("--count", frames, "--timeout", seconds + 120, "--quiet", "--csv", recording)
        host = harness.run(harness.command("kinemora-host", plugin.path, "--rate", rate, "--duration", seconds,
                                           "--handles", "--quiet"), timeout=seconds + 120)
        self.assertEqual(host.returncode, 0, host.stderr)
        _, summary = listener.finish(timeout=60)
        self.assertIn(f"summary: {frames} datagrams: K01 {frames}, K2 0, unrecognised 0", summary)
        with open(recording) as f:
            times = [int(line.split(",")[4]) for line in f.readlines()[1:]]
        expected = [0] + [time_field(i / rate) for i in range(1, frames)]
        self.assertEqual(times, expected, "datagrams lost or out of order")
        counts = re.search(r"handles: open (-?\d+) -> (-?\d+), next slot (-?\d+) -> (-?\d+)", host.stdout)
        self.assertIsNotNone(counts, host.stdout)
        open_before, open_after, slot_before, slot_after = map(int, counts.groups())
        self.assertLessEqual(open_after, open_before)
        self.assertLessEqual(slot_after, slot_before)


if __name__ == "__main__":
    harness.main()
