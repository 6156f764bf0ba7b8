"""kinemora-listen --live in a real terminal: tmux runs it and capture-pane
reads the screen. Natively: the view shows each field's latest value with
its bar, redraws at most ten times a second, and on Ctrl+C gives back the
screen and the cursor and prints the summary. Under Wine: the .exe draws in
Wine's console inside tmux (what it writes is read from the pane's raw
output, since Wine 8's console does not lay ANSI sequences out), ends
cleanly on Ctrl+C, and leaves the console's output mode as it found it
(live_console_probe.exe reads the mode)."""

import os
import pathlib
import re
import shlex
import shutil
import socket
import tempfile
import time
import unittest

import datagrams
import harness
from terminal import Terminal

VIRTUAL_TERMINAL_PROCESSING = 0x4
FRAME_START = b"\x1b[1;1H"  # every frame of the view starts at row 1, column 1


def k01(time_us, bank, velocity_x=51.2):
    return datagrams.k01(time_us, [velocity_x, 0, 0, bank, -0.25, 0, 0, 0, 0])


def k2(time_us, bank):
    return datagrams.k2(time_us, [60, 0, 0, 0, 0, 0, bank, -0.125, 4.5, 0, 0, 0])


class ListenLiveTest(unittest.TestCase):
    def setUp(self):
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(self.socket.close)
        self.folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, self.folder, True)

    def terminal(self, command, gate=None):
        """command in a terminal, through a shell that survives Ctrl+C (trap),
        prints the command's exit status and stays, so the screen can be read
        afterwards. With gate, the command waits until that file exists."""
        wait = f"while [ ! -e {shlex.quote(gate)} ]; do sleep 0.05; done; " if gate else ""
        terminal = Terminal(f"trap : INT; {wait}echo before the view; {shlex.join(command)}; "
                            "echo \"exit status $?\"; sleep 600")
        self.addCleanup(terminal.close)
        return terminal

    def native_only(self):
        if harness.windows():
            self.skipTest("the native program: in the native variant")

    def send(self, port, datagrams):
        for d in datagrams:
            self.socket.sendto(d, ("127.0.0.1", port))
            time.sleep(0.02)

    def test_view_shows_fields_and_ctrl_c_gives_the_screen_back(self):
        self.native_only()
        port = 50131
        term = self.terminal(harness.command("kinemora-listen", "--live", "--port", port, "--timeout", 60))
        term.wait_for(rf"^kinemora-listen --live: UDP port {port}, ", 10)
        self.assertEqual(term.flag("alternate_on"), "1", "the view draws on the alternate screen")
        self.assertEqual(term.flag("cursor_flag"), "0", "the cursor is hidden while the view is up")

        self.send(port, [k01(1000000, -0.5), k01(1020000, 1.0), k01(1040000, 0.25)])
        screen = term.wait_for(r"^K01 from 127\.0\.0\.1, time_us 1040000$", 5)
        lines = screen.splitlines()
        # 100 columns leave a bar of 34 cells; 0.25 is halfway from -0.5 to 1.
        self.assertIn("  bank                            0.25        -0.5 [" + "#" * 17 + "." * 17 + "] 1", lines)
        self.assertIn("  velocity_x                      51.2        51.2 [" + "." * 34 + "] 51.2", lines)
        self.assertIn("  pitch                          -0.25       -0.25 [" + "." * 34 + "] -0.25", lines)
        self.assertRegex(screen, r"(?m)^datagrams 3: K01 3, K2 0, unrecognised 0; the latest \d+\.\d s ago$")
        self.assertRegex(screen, r"(?m)^rate \d+\.\d Hz   jitter \d+\.\d{3} ms   stalls \d+ \(gaps over \d+\.\d{3} ms\)")
        self.assertRegex(screen, r"(?m)^gaps: median \d+\.\d{3} ms, 99th percentile \d+\.\d{3} ms, largest")
        # Sent to 127.0.0.1: the view says at once that other listeners may miss such datagrams.
        self.assertIn("note: a datagram came addressed to this computer alone (127.0.0.1),", lines)

        term.tmux("send-keys", "C-c")
        screen = term.wait_for(r"^exit status \d+$", 10)
        self.assertIn("exit status 0", screen)
        self.assertIn("before the view", screen, "the screen from before the view is back")
        self.assertIn("summary: 3 datagrams: K01 3, K2 0, unrecognised 0", screen)
        self.assertRegex(screen, r"(?m)^time field K01 from 127\.0\.0\.1: 2 steps: wraps 0, restarts 0, "
                                 r"backward steps 0, jumps 0$")
        self.assertNotIn("bank ", screen, "the view is gone")
        self.assertEqual(term.flag("alternate_on"), "0")
        self.assertEqual(term.flag("cursor_flag"), "1", "the cursor is shown again")

    def test_redraws_at_most_ten_times_a_second(self):
        self.native_only()
        port = 50132
        gate = os.path.join(self.folder, "go")
        raw = os.path.join(self.folder, "terminal.raw")
        term = self.terminal(harness.command("kinemora-listen", "--live", "--port", port, "--timeout", 2), gate=gate)
        term.record(raw)
        open(gate, "w").close()
        sent = [0]

        def stream():  # about 200 datagrams a second while the view is up
            for _ in range(5):
                self.socket.sendto(k2(sent[0] * 5000, 0.001 * (sent[0] % 100)), ("127.0.0.1", port))
                sent[0] += 1
            time.sleep(0.02)

        term.wait_for(rf"^kinemora-listen --live: UDP port {port}, ", 10)
        screen = term.wait_for(r"^exit status \d+$", 10, sending=stream)
        self.assertIn("exit status 0", screen)
        received = int(re.search(r"summary: (\d+) datagrams: K01 0, K2 (\d+), unrecognised 0", screen)[1])
        # Many more datagrams than redraws, even on a busy machine.
        self.assertGreater(received, 40)
        frames = term.recorded(raw).count(FRAME_START)
        # Two seconds: at most 21 frames (the first at once, then one per 100 ms).
        self.assertLessEqual(frames, 21)
        self.assertGreaterEqual(frames, 5, "it keeps redrawing while datagrams arrive")

    def test_windows_console_draws_and_gets_its_mode_back(self):
        if not harness.windows():
            self.skipTest("the Windows program: in the wine variant")
        port = 50133
        gate = os.path.join(self.folder, "go")
        raw = os.path.join(self.folder, "terminal.raw")
        result = os.path.join(self.folder, "mode.txt")
        listen = os.path.join(harness.options.win_build, "bin", "kinemora-listen.exe")
        probe = harness.command("live_console_probe", harness.windows_path(result), harness.windows_path(listen),
                                "--live", "--port", port, "--timeout", 50)
        term = self.terminal(probe, gate=gate)
        self.addCleanup(harness.end_wine_programs)  # runs before the terminal closes
        term.record(raw)
        open(gate, "w").close()
        term.wait_for(rf"kinemora-listen --live: UDP port {port}, ", 60)
        self.send(port, [k2(0, -0.5), k2(20000, 1.0), k2(40000, 0.25)])
        # Wine's console (Wine 8) passes the sequences on as text and counts
        # their bytes as columns, so it breaks lines ("\r\r\n") where a real
        # Windows console would not; what the program wrote lies in between.
        def joined(copy):
            return copy.replace(b"\r\r\n", b"")
        bank = b"  bank                            0.25        -0.5 [" + b"#" * 17 + b"." * 17 + b"] 1"
        harness.wait_for(lambda: os.path.exists(raw) and bank in joined(pathlib.Path(raw).read_bytes()), 30,
                         "a frame with all three datagrams")

        term.tmux("send-keys", "C-c")
        screen = term.wait_for(r"^exit status \d+$", 30)
        self.assertIn("exit status 0", screen)
        self.assertIn("summary: 3 datagrams: K01 0, K2 3, unrecognised 0", screen)
        self.assertNotIn("heading ", screen, "the view is gone")
        written = joined(term.recorded(raw))
        self.assertIn(b"K2 from 127.0.0.1, time_us 40000", written)
        self.assertIn(b"  heading                          4.5         4.5 [" + b"." * 34 + b"] 4.5", written)

        with open(result) as f:
            report = f.read()
        fields = dict(part.split("=", 1) for part in report.split())
        self.assertNotIn("error", fields, report)
        before, during, after = (int(fields[k], 16) for k in ("before", "during", "after"))
        self.assertFalse(before & VIRTUAL_TERMINAL_PROCESSING, report)
        self.assertTrue(during & VIRTUAL_TERMINAL_PROCESSING, f"the view turns on ANSI processing: {report}")
        self.assertEqual(after, before, f"the console's mode is given back: {report}")
        self.assertEqual(fields["exit"], "0", f"kinemora-listen.exe ends cleanly on Ctrl+C: {report}")

if __name__ == "__main__":
    harness.main()
