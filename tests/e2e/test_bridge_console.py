"""The bridge in a real Windows console (Wine's, inside a tmux terminal):
where standard output or standard error is the console, the bridge turns off QuickEdit on the
console's input and keeps every other mode bit; where it is not, it changes
nothing. console_probe.exe runs the bridge in its own console and reads the
mode before and after. A bridge alone in its console keeps an error on the
screen until Enter."""

import os
import pathlib
import shlex
import tempfile
import unittest

import harness
from terminal import Terminal

QUICK_EDIT = 0x40
EXTENDED_FLAGS = 0x80


class BridgeConsoleTest(unittest.TestCase):
    def run_in_terminal(self):
        folder = tempfile.mkdtemp(dir=harness.options.build)
        result = os.path.join(folder, "console.txt")
        bridge = os.path.join(harness.options.win_build, "bin", "kinemora_mfs_2020.exe")
        probe = harness.command("console_probe", harness.windows_path(result), harness.windows_path(bridge))
        terminal = Terminal(shlex.join(probe), rows=30)

        def report():
            return pathlib.Path(result).read_text() if os.path.exists(result) else ""
        try:
            harness.wait_for(lambda: "done=1" in report() or "error=" in report(), 90, "the probe's report")
        finally:
            terminal.close()
        text = report()
        cases = {}
        for line in text.splitlines():
            fields = dict(part.split("=", 1) for part in line.split())
            if "case" in fields:
                self.assertNotIn("error", fields, line)
                cases[fields["case"]] = (int(fields["before"], 16), int(fields["after"], 16))
        self.assertIn("done=1", text, f"the probe did not finish: {text!r}")
        return cases

    def test_quick_edit_goes_off_only_where_output_is_the_console(self):
        cases = self.run_in_terminal()
        for name in ("console", "input_redirected", "errors_to_console"):
            before, after = cases[name]
            self.assertTrue(before & QUICK_EDIT, f"{name}: the probe starts with QuickEdit on")
            self.assertEqual(after, (before & ~QUICK_EDIT) | EXTENDED_FLAGS,
                             f"{name}: 0x{before:x} became 0x{after:x}")
        before, after = cases["output_redirected"]
        self.assertEqual(after, before, "standard output and error are a file: the console is left as it is")

    def test_an_error_in_a_window_of_its_own_waits_for_enter(self):
        # tmux's terminal is a console of the bridge's own, as when it is double-clicked.
        folder = tempfile.mkdtemp(dir=harness.options.build)
        status = os.path.join(folder, "status.txt")
        terminal = Terminal(f"{shlex.join(harness.command('kinemora_mfs_2020', '--no-such-option'))}; "
                            f"echo $? > {shlex.quote(status)}; sleep 60")
        try:
            terminal.wait_for("Press Enter", 60)
            self.assertFalse(os.path.exists(status), "the window stays until Enter")
            self.assertIn("kinemora_mfs_2020: unknown option '--no-such-option'", terminal.screen())
            terminal.tmux("send-keys", "Enter")
            harness.wait_for(lambda: os.path.exists(status) and pathlib.Path(status).read_text().strip(), 60,
                             "the bridge ends after Enter")
        finally:
            terminal.close()
        with open(status) as f:
            self.assertEqual(f.read().strip(), "2")


if __name__ == "__main__":
    harness.main()
