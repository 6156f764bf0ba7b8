"""Record the rig's traffic, replay it later: a kinemora-listen --csv
recording of the plug-in's K01 datagrams replays through kinemora-host into
the plug-in, and one of the bridge's K2 datagrams through kinemora-simulator
into the bridge, at the recording's own times. What comes out again carries
every float bit for bit; the time fields follow each deliverable's rules.
With --plugin kinemora_aerofly_fs_4 only the plug-in's cases run, on that one."""

import math
import os
import tempfile

import harness
from datagrams import K01_FIELDS, f32_bits, floats_of
from harness import BridgeTestCase, Emulator, Listener, check_running_clock, start_bridge


class ReplayTest(BridgeTestCase):
    def setUp(self):
        super().setUp()
        # A folder name no code page holds: the recordings are written and read
        # through UTF-8 paths on Windows too.
        self.folder = os.path.join(tempfile.mkdtemp(dir=harness.options.build), "Flüge ✈ 飞行")
        os.makedirs(self.folder)

    def path(self, name):
        return os.path.join(self.folder, f"{name}-{harness.options.variant}.csv")

    def fly_plugin(self, count, *host_args, record=None):
        """Runs kinemora-host on the plug-in; returns the datagrams the listener caught."""
        csv = ["--csv", record] if record else []
        listener = harness.Listener("--count", count, "--timeout", 90, *csv)
        host = harness.run(harness.command("kinemora-host", harness.plugin().path, "--quiet",
                                           *host_args), timeout=120)
        self.assertEqual(host.returncode, 0, host.stderr)
        datagrams, _ = listener.finish(timeout=90)
        self.assertEqual(len(datagrams), count)
        return datagrams

    def test_k01_recording_replays_through_the_plugin_bit_for_bit(self):
        recording = self.path("k01")
        original = self.fly_plugin(120, "--start", 95, "--duration", 2, "--rate", 60, record=recording)
        replayed = self.fly_plugin(120, "--profile", recording)
        # Time fields included: the first datagram after load carries 0 in both.
        self.assertEqual([d["hex"] for d in replayed], [d["hex"] for d in original])
        # At the recording's pace: the same span, give or take the machine's scheduling.
        span = original[-1]["arrival"] - original[0]["arrival"]
        replay_span = replayed[-1]["arrival"] - replayed[0]["arrival"]
        self.assertLess(abs(replay_span - span), 0.25, f"{span:.3f} s recorded, {replay_span:.3f} s replayed")

    def test_k01_special_values_replay_as_they_were_sent(self):
        header = "arrival_s,source,kind,length,time_us," + ",".join("k01_" + f for f in K01_FIELDS)
        rows = [
            # time_us, then the nine fields as kinemora-listen writes them (%.9g)
            [0, "nan", "-nan", "inf", "3.5", "-inf", "-0", "1.40129846e-45", "3.40282347e+38", "-1.17549435e-38"],
            [33554431, "51.2000008", "-0.75", "1.5", "3", "-0.125", "0.0625", "0.25", "-0.03125", "0.015625"],
            [1000999, "-2.9000001", "1e-05", "0", "-3.0999999", "0", "0", "0", "0", "0"],
        ]
        recording = self.path("special")
        with open(recording, "w") as f:
            f.write(header + "\n")
            for n, row in enumerate(rows):
                f.write(f"{0.1 * n:.6f},192.0.2.10:4000,K01,44," + ",".join(map(str, row)) + "\n")
        replayed = self.fly_plugin(len(rows), "--profile", recording)
        for row, datagram in zip(rows, replayed):
            raw = bytes.fromhex(datagram["hex"])
            self.assertEqual(raw[:4], b"K01,")
            time_us, bits = floats_of(raw, bits=True)
            self.assertEqual(time_us, row[0])
            for i, (text, got) in enumerate(zip(row[1:], bits)):
                value = float(text)
                if math.isnan(value):
                    self.assertEqual(got & 0x7F800000, 0x7F800000, f"{K01_FIELDS[i]}: a NaN stays a NaN")
                    self.assertNotEqual(got & 0x007FFFFF, 0)
                else:
                    self.assertEqual(got, f32_bits(value), f"{K01_FIELDS[i]} {text}")

    def relay(self, count, *emulator_args, record=None):
        """The bridge against the emulator; returns the first count datagrams."""
        listener = self.keep(Listener(*(["--csv", record] if record else [])))
        emulator = self.keep(Emulator(*emulator_args))
        bridge = self.keep(start_bridge())
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        datagrams = listener.wait_count(count, timeout=60)[:count]
        for process in (bridge, emulator, listener):
            process.stop()
        return datagrams

    @harness.not_per_plugin
    def test_k2_recording_replays_through_the_bridge_bit_for_bit(self):
        recording = self.path("k2")
        original = self.relay(90, "--start", 95, record=recording)
        replayed = self.relay(60, "--profile", recording)

        # The bridge joins the replay wherever the emulator has got to; from
        # there on every delivery is the next recorded row, floats bit for bit.
        floats = [d["hex"][14:] for d in original]
        start = floats.index(replayed[0]["hex"][14:])
        expected = [floats[(start + i) % len(floats)] for i in range(len(replayed))]
        self.assertEqual([d["hex"][14:] for d in replayed], expected)
        # The time fields are the bridge's own running clock.
        check_running_clock(self, replayed)


if __name__ == "__main__":
    harness.main()
