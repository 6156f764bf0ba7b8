"""kinemora-signal, natively and as the Windows program under Wine, with
kinemora-listen as the receiver: the count of datagrams, the exact bytes of
chosen ones, only the one field moving, the datagram of zeros at the end,
two destinations each getting every datagram, the soft stop on Ctrl+C, and a
bad option that ends with status 2 before anything is sent."""

import math
import os
import signal
import struct
import time
import unittest

import harness

K01_LAYOUT = "<4sI9f"
K2_LAYOUT = "<3sI12f"
PITCH = 4  # K01: velocity x y z, bank, then pitch
ROTATION_VELOCITY_BODY_Y = 11  # K2: the last float


def signal_command(*args):
    return harness.command("kinemora-signal", *args)


def k01(time_us, slot, value):
    floats = [0.0] * 9
    floats[slot] = value
    return struct.pack(K01_LAYOUT, b"K01,", time_us & 0x1FFFFFF, *floats)


def k2(time_us, slot, value):
    floats = [0.0] * 12
    floats[slot] = value
    return struct.pack(K2_LAYOUT, b"K2,", time_us, *floats)


def floats_of(data):
    """The time field and the floats of a K01 or K2 datagram."""
    fields = struct.unpack(K01_LAYOUT if len(data) == 44 else K2_LAYOUT, data)
    return fields[1], list(fields[2:])


class SignalTest(unittest.TestCase):
    def assert_only_field_moves(self, datagrams, slot):
        for i, data in enumerate(datagrams):
            _, floats = floats_of(data)
            others = b""
            header = 8 if len(data) == 44 else 7
            for s in range(len(floats)):
                if s != slot:
                    others += data[header + 4 * s:header + 4 * s + 4]
            self.assertEqual(others, bytes(len(others)), f"datagram {i}: another field is not exactly 0")

    def test_k01_sine_with_soft_start_and_stop_arrives_exactly(self):
        # 40 a second for 0.5 s, then a 0.25 s soft stop, then the zeros: 31 datagrams.
        listener = harness.Listener("--count", 31, "--timeout", 60)
        sent = harness.run(signal_command("--axis", "pitch", "--amplitude", "0.5", "--period", "1", "--rate", "40",
                                          "--ramp", "0.25", "--duration", "0.5"))
        self.assertEqual(sent.returncode, 0, sent.stderr)
        datagrams, summary = listener.finish()
        self.assertIn("summary: 31 datagrams: K01 31, K2 0", summary)
        data = [bytes.fromhex(d["hex"]) for d in datagrams]

        self.assertEqual(data[0], k01(0, PITCH, 0.0))             # the soft start begins at 0
        self.assertEqual(data[10], k01(250000, PITCH, 0.5))       # a quarter period, ramp done: the amplitude
        self.assertEqual(data[20], k01(500000, PITCH, 0.0))       # half a period: exactly 0
        self.assertEqual(data[30], k01(750000, PITCH, 0.0))       # after the soft stop: the zeros
        self.assert_only_field_moves(data, PITCH)
        for n, d in enumerate(data):
            t = n / 40
            level = min(t / 0.25, 1.0) if t <= 0.5 else max(1.0 - (t - 0.5) / 0.25, 0.0)
            expected = level * 0.5 * math.sin(2 * math.pi * t)
            time_us, floats = floats_of(d)
            self.assertEqual(time_us, n * 25000, f"datagram {n}")
            self.assertAlmostEqual(floats[PITCH], expected, delta=1e-6, msg=f"datagram {n} at {t} s")

        self.assertIn("sending K01 pitch: sine, amplitude 0.5 rad, period 1 s", sent.stderr)
        self.assertIn("to 255.255.255.255:50010", sent.stderr)
        self.assertIn("sent 31 datagrams", sent.stderr)

    def test_k2_to_two_destinations_each_gets_every_datagram(self):
        unicast = harness.Listener("--port", 50021, "--count", 21, "--timeout", 60)
        broadcast = harness.Listener("--port", 50022, "--count", 21, "--timeout", 60)
        sent = harness.run(signal_command("--format", "k2", "--axis", "rotation_velocity_body_y", "--shape",
                                          "triangle", "--amplitude", "0.2", "--period", "0.5", "--rate", "40",
                                          "--ramp", "0", "--duration", "0.5", "--quiet",
                                          "--destination", "127.0.0.1:50021", "--destination", "broadcast:50022"))
        self.assertEqual(sent.returncode, 0, sent.stderr)
        self.assertEqual(sent.stderr.strip(), "", "--quiet prints nothing")
        first, _ = unicast.finish()
        second, _ = broadcast.finish()
        data = [bytes.fromhex(d["hex"]) for d in first]
        self.assertEqual(len(data), 21)
        self.assertEqual(data, [bytes.fromhex(d["hex"]) for d in second], "both got the same datagrams")

        times = [floats_of(d)[0] for d in data]
        self.assertEqual(times[0], 0, "the first K2 datagram carries 0")
        self.assertTrue(all(a < b for a, b in zip(times, times[1:])), f"the clock rises: {times}")
        self.assertLess(times[-1], 2_000_000)
        self.assertEqual(data[5], k2(times[5], ROTATION_VELOCITY_BODY_Y, 0.2))     # a quarter period
        self.assertEqual(data[15], k2(times[15], ROTATION_VELOCITY_BODY_Y, -0.2))  # three quarters
        self.assertEqual(data[20], k2(times[20], ROTATION_VELOCITY_BODY_Y, 0.0))   # the zeros
        self.assert_only_field_moves(data, ROTATION_VELOCITY_BODY_Y)

    def test_a_failing_destination_is_said_and_the_others_get_every_datagram(self):
        harness.make_unreachable()
        listener = harness.Listener("--count", 11, "--timeout", 20)
        sent = harness.run(signal_command("--axis", "pitch", "--amplitude", "0.1", "--rate", "20", "--ramp", "0",
                                          "--duration", "0.5", "--quiet", "--destination", harness.UNREACHABLE,
                                          "--destination", "broadcast"))
        self.assertEqual(sent.returncode, 0, sent.stderr)
        datagrams, _ = listener.finish()
        self.assertEqual(len(datagrams), 11)
        unreachable = 10065 if harness.windows() else 113  # WSAEHOSTUNREACH, EHOSTUNREACH
        self.assertEqual(sent.stderr.splitlines(), [
            f"kinemora-signal: send failed: sendto for {harness.UNREACHABLE}:50010, error {unreachable} "
            "(later failures of this kind are only counted)",
            "kinemora-signal: check the destination's address and that this PC has a network that leads to it",
            "kinemora-signal: sending ended: frames 11, datagrams 22, failures 11 (sendto 11)"])

    def test_a_bad_option_ends_with_status_2_and_sends_nothing(self):
        # The bad runs would send K01; the run after them sends two K2 datagrams,
        # which must be the first two to arrive.
        listener = harness.Listener("--count", 2, "--timeout", 60)
        bad = [(["--format", "k01", "--axis", "heading", "--amplitude", "0.1"], "--axis heading"),
               (["--axis", "pitch", "--amplitude", "4"], "--amplitude 4"),
               (["--axis", "pitch", "--amplitude", "0.1", "--rate", "0"], "--rate"),
               (["--axis", "pitch", "--amplitude", "0.1", "--destination", "10.0.0.300"], "--destination")]
        # Under Wine each run costs seconds: one bad option shows the .exe's status there.
        for args, option in bad[:1] if harness.windows() else bad:
            result = harness.run(signal_command(*args))
            self.assertEqual(result.returncode, 2, f"{args}: {result.stderr}")
            lines = result.stderr.strip().splitlines()
            self.assertEqual(len(lines), 1, f"{args}: one line: {result.stderr}")
            self.assertTrue(lines[0].startswith("kinemora-signal: " + option), lines[0])
        good = harness.run(signal_command("--format", "k2", "--axis", "heading", "--amplitude", "0.1", "--ramp", "0",
                                          "--duration", "0.001"))
        self.assertEqual(good.returncode, 0, good.stderr)
        datagrams, _ = listener.finish()
        self.assertEqual([d["kind"] for d in datagrams], ["K2", "K2"])

    def interrupt(self, process):
        """Ctrl+C: SIGINT to the program's process group (Wine turns it into
        the console's Ctrl+C event)."""
        os.killpg(process.proc.pid, signal.SIGINT)

    def test_ctrl_c_ramps_down_then_sends_zeros(self):
        # A constant 0.5 after a 0.2 s soft start (the square's first half lasts 50 s).
        listener = harness.LiveListener("--timeout", 60)
        sender = harness.LiveProcess(signal_command("--axis", "bank", "--shape", "square", "--amplitude", "0.5",
                                                    "--period", "100", "--rate", "50", "--ramp", "0.2"))
        try:
            listener.wait_count(20, timeout=30)
            self.interrupt(sender)
            sender.proc.wait(30)
        finally:
            sender.stop()
            listener.stop()
        self.assertEqual(sender.proc.returncode, 0, sender.errors())
        self.assertIn("Ctrl+C: ramping bank down to 0 over at most 0.2 s", sender.errors())
        data = [bytes.fromhex(d["hex"]) for d in listener.datagrams()]
        bank = [floats_of(d)[1][3] for d in data]
        self.assertEqual(data[-1], k01(floats_of(data[-1])[0], 3, 0.0), "the zeros end it")
        self.assertEqual(bank[0], 0.0, "the soft start begins at 0")
        top = bank.index(0.5)
        rising = [b - a for a, b in zip(bank[:top], bank[1:top + 1])]
        self.assertTrue(all(0 <= s <= 0.5 / 10 + 1e-6 for s in rising), f"a soft start: {bank[:top + 1]}")
        down = bank[top:]
        steps = [a - b for a, b in zip(down, down[1:])]
        self.assertTrue(all(0 <= s <= 0.5 / 10 + 1e-6 for s in steps), f"a soft stop in steps of 0.05: {down}")
        self.assertEqual(len([s for s in steps if s > 0]), 10, f"the stop took the whole ramp: {down}")

    def test_a_second_ctrl_c_sends_the_zeros_at_once(self):
        # At full level after the 1 s soft start; the soft stop would take 50 datagrams.
        listener = harness.LiveListener("--timeout", 60)
        sender = harness.LiveProcess(signal_command("--axis", "pitch", "--shape", "square", "--amplitude", "0.5",
                                                    "--period", "100", "--rate", "50", "--ramp", "1"))
        try:
            listener.wait_count(60, timeout=30)
            self.interrupt(sender)
            sender.wait_until(lambda: "Ctrl+C: ramping" in sender.errors(), 10, "the first Ctrl+C is told")
            self.interrupt(sender)
            sender.proc.wait(30)
        finally:
            sender.stop()
            listener.stop()
        self.assertEqual(sender.proc.returncode, 0, sender.errors())
        self.assertIn("Ctrl+C again: sending the datagram of zeros now", sender.errors())
        data = [bytes.fromhex(d["hex"]) for d in listener.datagrams()]
        pitch = [floats_of(d)[1][PITCH] for d in data]
        self.assertEqual(data[-1], k01(floats_of(data[-1])[0], PITCH, 0.0), "the zeros end it")
        last_full = len(pitch) - 1 - pitch[::-1].index(0.5)
        self.assertLess(len(pitch) - last_full, 25, f"it did not wait for the whole soft stop: {pitch[last_full:]}")


if __name__ == "__main__":
    harness.main()
