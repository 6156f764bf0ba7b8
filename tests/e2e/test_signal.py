"""kinemora-signal, natively and as the Windows program under Wine, with
kinemora-listen as the receiver: the count of datagrams, the exact bytes of
chosen ones, only the one field moving, the datagram of zeros at the end,
two destinations each getting every datagram, the soft stop on Ctrl+C (and
natively on SIGHUP and SIGTERM), a second Ctrl+C that shortens the way down,
the end of the Windows session under Wine, and a bad option that ends with
status 2 before anything is sent."""

import math
import os
import signal
import subprocess
import unittest

import datagrams
import harness
from datagrams import floats_of

PITCH = 4  # K01: velocity x y z, bank, then pitch
ROTATION_VELOCITY_BODY_Y = 11  # K2: the last float


def signal_command(*args):
    return harness.command("kinemora-signal", *args)


def k01(time_us, slot, value):
    return datagrams.k01(time_us & 0x1FFFFFF, [value if s == slot else 0.0 for s in range(9)])


def k2(time_us, slot, value):
    return datagrams.k2(time_us, [value if s == slot else 0.0 for s in range(12)])


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
        sent = harness.run(signal_command("--axis", "pitch", "--amplitude", "0.25", "--period", "1", "--rate", "40",
                                          "--ramp", "0.25", "--duration", "0.5"))
        self.assertEqual(sent.returncode, 0, sent.stderr)
        datagrams, summary = listener.finish()
        self.assertIn("summary: 31 datagrams: K01 31, K2 0", summary)
        data = [bytes.fromhex(d["hex"]) for d in datagrams]

        self.assertEqual(data[0], k01(0, PITCH, 0.0))             # the soft start begins at 0
        self.assertEqual(data[10], k01(250000, PITCH, 0.25))      # a quarter period, ramp done: the amplitude
        self.assertEqual(data[20], k01(500000, PITCH, 0.0))       # half a period: exactly 0
        self.assertEqual(data[30], k01(750000, PITCH, 0.0))       # after the soft stop: the zeros
        self.assert_only_field_moves(data, PITCH)
        for n, d in enumerate(data):
            t = n / 40
            level = min(t / 0.25, 1.0) if t <= 0.5 else max(1.0 - (t - 0.5) / 0.25, 0.0)
            expected = level * 0.25 * math.sin(2 * math.pi * t)
            time_us, floats = floats_of(d)
            self.assertEqual(time_us, n * 25000, f"datagram {n}")
            self.assertAlmostEqual(floats[PITCH], expected, delta=1e-6, msg=f"datagram {n} at {t} s")

        self.assertIn("sending K01 pitch: sine, amplitude 0.25 rad, period 1 s", sent.stderr)
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
            f"kinemora-signal: send failed: sendto for {harness.UNREACHABLE}:50010, error {unreachable}: no route "
            "to that computer: it is not on a network this PC reaches; check that this PC's network cable or Wi-Fi "
            "is connected and that the destination's address is right (later failures of this kind are only "
            "counted)",
            "kinemora-signal: sending ended: frames 11, datagrams 22, failures 11 (sendto 11)"])

    def test_a_bad_option_ends_with_status_2_and_sends_nothing(self):
        # The bad runs would send K01; the run after them sends two K2 datagrams,
        # which must be the first two to arrive.
        listener = harness.Listener("--count", 2, "--timeout", 60)
        bad = [(["--format", "k01", "--axis", "heading", "--amplitude", "0.1"], "--axis heading"),
               (["--axis", "pitch", "--amplitude", "4", "--force"], "--amplitude 4"),
               (["--axis", "pitch", "--amplitude", "0.5"], "--amplitude 0.5"),
               (["--axis", "pitch", "--amplitude", "0.1", "--rate", "0"], "--rate"),
               (["--axis", "pitch", "--amplitude", "0.1", "--destination", "10.0.0.300"], "--destination")]
        # Under Wine each run costs seconds: one bad option shows the .exe's status there.
        for args, option in bad[:1] if harness.windows() else bad:
            result = harness.run(signal_command(*args))
            self.assertEqual(result.returncode, 2, f"{args}: {result.stderr}")
            lines = result.stderr.replace("\r\n", "\n").split("\n")
            self.assertTrue(lines[0].startswith("kinemora-signal: " + option), lines[0])
            self.assertEqual(lines[1:3], ["", "Usage: kinemora-signal --axis NAME --amplitude A [options]"], args)
        good = harness.run(signal_command("--format", "k2", "--axis", "heading", "--amplitude", "0.1", "--ramp", "0",
                                          "--duration", "0.001"))
        self.assertEqual(good.returncode, 0, good.stderr)
        datagrams, _ = listener.finish()
        self.assertEqual([d["kind"] for d in datagrams], ["K2", "K2"])

    def stop_with(self, process, number):
        """SIGINT, SIGHUP or SIGTERM to the program's process group (under
        Wine, SIGINT becomes the console's Ctrl+C event)."""
        os.killpg(process.proc.pid, number)

    def run_and_stop(self, args, full_count, *numbers):
        """Runs kinemora-signal until the listener has full_count datagrams,
        then sends each signal in turn, the next once the previous one is told;
        returns (the moving field's values as they arrived, stderr)."""
        listener = harness.Listener("--timeout", 60)
        # Ctrl+Z suspends a shell's job: a process group in this session.
        sender = harness.Process(signal_command(*args), job=signal.SIGTSTP in numbers)
        try:
            listener.wait_count(full_count, timeout=30)
            for told, number in enumerate(numbers, 1):
                self.stop_with(sender, number)
                sender.wait_until(lambda: sender.errors().count(": ramping") >= told, 10, f"request {told} is told")
            if signal.SIGTSTP in numbers:
                with open(f"/proc/{sender.proc.pid}/stat") as stat:
                    state = lambda: stat.seek(0) == 0 and stat.read().rsplit(") ", 1)[1][0]  # noqa: E731
                    harness.wait_for(lambda: state() == "T", 30, "the program suspended")
                os.killpg(sender.proc.pid, signal.SIGCONT)
            sender.proc.wait(30)
        finally:
            sender.stop()
            listener.stop()
        self.assertEqual(sender.proc.returncode, 0, sender.errors())
        data = [bytes.fromhex(d["hex"]) for d in listener.datagrams()]
        slot = 3 if "bank" in args else PITCH
        self.assertEqual(data[-1], k01(floats_of(data[-1])[0], slot, 0.0), "the zeros end it")
        return [floats_of(d)[1][slot] for d in data], sender.errors().replace("\r\n", "\n")

    def test_ctrl_c_sighup_and_sigterm_ramp_down_then_send_zeros(self):
        # A constant 0.25 after a 0.2 s soft start (the square's first half lasts 50 s).
        cases = [(signal.SIGINT, "Ctrl+C"), (signal.SIGHUP, "SIGHUP"), (signal.SIGTERM, "SIGTERM"),
                 (signal.SIGQUIT, "SIGQUIT")]
        # Under Wine only SIGINT reaches the program, as Ctrl+C; the others end Wine itself.
        for number, name in cases[:1] if harness.windows() else cases:
            with self.subTest(name):
                bank, told = self.run_and_stop(["--axis", "bank", "--shape", "square", "--amplitude", "0.25",
                                                "--period", "100", "--rate", "50", "--ramp", "0.2"], 20, number)
                self.assertIn(f"kinemora-signal: {name}: ramping bank down to 0 over at most 0.2 s, then one "
                              "datagram of zeros\n", told)
                self.assertEqual(bank[0], 0.0, "the soft start begins at 0")
                top = bank.index(0.25)
                rising = [b - a for a, b in zip(bank[:top], bank[1:top + 1])]
                self.assertTrue(all(0 <= s <= 0.25 / 10 + 1e-6 for s in rising), f"a soft start: {bank[:top + 1]}")
                down = bank[top:]
                steps = [a - b for a, b in zip(down, down[1:])]
                self.assertTrue(all(0 <= s <= 0.25 / 10 + 1e-6 for s in steps),
                                f"a soft stop in steps of 0.025: {down}")
                self.assertEqual(len([s for s in steps if s > 0]), 10, f"the stop took the whole ramp: {down}")

    def test_ctrl_z_leaves_the_rig_at_rest_then_suspends_and_resumed_ends(self):
        if harness.windows():
            self.skipTest("Ctrl+Z suspends a job of a POSIX shell: in the native variant")
        # Resumed, it sends nothing more: the zeros stay the last datagram.
        _, told = self.run_and_stop(["--axis", "bank", "--shape", "square", "--amplitude", "0.25", "--period", "100",
                                     "--rate", "50", "--ramp", "0.2"], 20, signal.SIGTSTP)
        self.assertIn("kinemora-signal: Ctrl+Z: ramping bank down to 0 over at most 0.2 s, then one datagram of "
                      "zeros", told)
        self.assertIn("kinemora-signal: Ctrl+Z: the rig is at rest; suspending.", told)

    def test_a_closed_pipe_on_its_output_never_ends_it_before_the_zeros(self):
        if harness.windows():
            self.skipTest("SIGPIPE: in the native variant")
        listener = harness.Listener("--timeout", 60)
        reader, writer = os.pipe()
        os.close(reader)  # every write to standard error finds the pipe closed
        try:
            result = subprocess.run(signal_command("--axis", "bank", "--amplitude", "0.1", "--rate", "50",
                                                   "--duration", "0.2", "--ramp", "0.1"), stderr=writer, timeout=30)
        finally:
            os.close(writer)
        self.assertEqual(result.returncode, 0, "a write to the closed pipe did not end it")

        def banks():
            return [floats_of(bytes.fromhex(d["hex"]))[1][3] for d in listener.datagrams()]
        try:
            listener.wait_until(lambda: any(banks()) and banks()[-1] == 0.0, 10, "the zeros after the signal")
        finally:
            listener.stop()

    def test_a_second_ctrl_c_shortens_the_way_down_to_a_quarter_second(self):
        # At full level after the 1 s soft start; the soft stop would take 50
        # datagrams, a quarter second 12.5, each a step of at most 0.02.
        pitch, told = self.run_and_stop(["--axis", "pitch", "--shape", "square", "--amplitude", "0.25",
                                         "--period", "100", "--rate", "50", "--ramp", "1"], 60,
                                        signal.SIGINT, signal.SIGINT)
        self.assertIn("kinemora-signal: Ctrl+C: ramping pitch down to 0 over at most 1 s, then one datagram of "
                      "zeros (Ctrl+C again makes it at most 0.25 s)\n", told)
        self.assertIn("kinemora-signal: Ctrl+C again: ramping pitch down to 0 over at most 0.25 s, then one "
                      "datagram of zeros\n", told)
        last_full = len(pitch) - 1 - pitch[::-1].index(0.25)
        down = pitch[last_full:]
        steps = [a - b for a, b in zip(down, down[1:])]
        self.assertTrue(all(0 <= s <= 0.02 + 1e-6 for s in steps), f"a ramp, not a jump to zeros: {down}")
        self.assertLess(len(down), 40, f"it did not wait for the whole soft stop: {down}")
        self.assertGreater(max(steps), 0.005 + 1e-6, f"the second Ctrl+C made the way down steeper: {down}")

    def test_the_end_of_the_windows_session_ramps_down_within_3_s(self):
        """wineboot --end-session sends WM_ENDSESSION, as Windows does at
        logoff and shutdown, to the program's hidden window (Wine makes one
        only on a screen), which holds the end until the zeros are out."""
        if not harness.windows():
            self.skipTest("the end of the Windows session: in the wine variant")
        from test_monitor import VirtualScreen
        with VirtualScreen(640, 480) as screen:
            env = dict(os.environ, DISPLAY=screen.display)
            listener = harness.Listener("--timeout", 90)
            # A constant 0.25 that the 20 s soft start would take 20 s to reach
            # and as long to leave; the session's end leaves it within 3 s.
            sender = harness.Process(signal_command("--axis", "bank", "--shape", "square", "--amplitude", "0.25",
                                                    "--period", "100", "--rate", "50", "--ramp", "20"), env=env)
            try:
                listener.wait_count(100, timeout=60)
                subprocess.run([harness.WINE_RUN, "wineboot", "--end-session"], env=env, capture_output=True,
                               timeout=60)
                sender.proc.wait(30)
            finally:
                sender.stop()
                listener.stop()
        told = sender.errors().replace("\r\n", "\n")
        self.assertIn("kinemora-signal: Windows is shutting down: ramping bank down to 0 over at most 3 s, then one "
                      "datagram of zeros\n", told)
        data = [bytes.fromhex(d["hex"]) for d in listener.datagrams()]
        bank = [floats_of(d)[1][3] for d in data]
        self.assertEqual(data[-1], k01(floats_of(data[-1])[0], 3, 0.0), "the zeros end it")
        top = bank.index(max(bank))
        down = bank[top:]
        steps = [a - b for a, b in zip(down, down[1:])]
        # From level L, 3 s take L * 150 datagrams at 50 a second, in steps of 0.25 / 150.
        level = bank[top] / 0.25
        self.assertTrue(all(0 <= s <= 0.25 / 150 + 1e-6 for s in steps), f"a ramp, not a jump to zeros: {down}")
        self.assertLessEqual(len(down), level * 150 + 3, f"the way down took at most 3 s: {down}")
        self.assertIn("sent ", told, "the program ended on its own after the zeros")


if __name__ == "__main__":
    harness.main()
