"""A real terminal for the tests of console programs: tmux runs a script,
capture-pane reads the screen, pipe-pane copies what the program writes."""

import os
import pathlib
import re
import shlex
import shutil
import subprocess
import tempfile

import harness


class Terminal:
    """One tmux server of this test's own, its socket in a short temporary
    path, with one window that runs script through sh."""

    def __init__(self, script, columns=100, rows=40):
        if shutil.which("tmux") is None:
            raise AssertionError("tmux is missing: run scripts/setup.sh (Debian package tmux)")
        self.folder = tempfile.mkdtemp(prefix="kinemora-tmux-")
        self.server = ["tmux", "-S", os.path.join(self.folder, "tmux"), "-f", "/dev/null"]
        subprocess.run(self.server + ["new-session", "-d", "-x", str(columns), "-y", str(rows), "sh", "-c", script],
                       check=True)

    def tmux(self, *args):
        return subprocess.run(self.server + list(args), capture_output=True, text=True, check=True).stdout

    def record(self, path):
        """Copies everything the pane's program writes into path."""
        self.tmux("pipe-pane", f"cat > {shlex.quote(path)}; touch {shlex.quote(path + '.done')}")

    def recorded(self, path, timeout=10):
        """Ends the copy and returns all of it, once cat has written its last byte."""
        self.tmux("pipe-pane")
        harness.wait_for(lambda: os.path.exists(path + ".done"), timeout, f"the end of the copy into {path}")
        return pathlib.Path(path).read_bytes()

    def screen(self):
        return self.tmux("capture-pane", "-p")

    def flag(self, name):
        return self.tmux("display-message", "-p", "#{" + name + "}").strip()

    def wait_for(self, pattern, timeout, sending=None):
        """Waits until the screen matches pattern (a regex), calling sending()
        in between; returns the screen."""
        text = ""

        def shows():
            nonlocal text
            text = self.screen()
            found = re.search(pattern, text, re.M)
            if not found and sending:
                sending()
            return found
        try:
            harness.wait_for(shows, timeout, f"the screen showing {pattern!r}")
        except AssertionError as failure:
            raise AssertionError(f"{failure}:\n{text}") from None
        return text

    def close(self):
        subprocess.run(self.server + ["kill-server"], capture_output=True)
        shutil.rmtree(self.folder, True)
