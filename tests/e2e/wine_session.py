"""The Wine session of a test script, which harness.py starts and re-exports:
the prefix's wineserver and Wine's background programs, and their log."""

import os
import select
import subprocess
import sys

WINE_RUN = os.path.abspath(os.path.join(__file__, "../../../scripts/wine-run"))


def wine_log():
    """Where the wineserver and Wine's background programs of this test script
    write: wine-logs/SCRIPT.log in the native build tree, SCRIPT-PLUGIN.log in
    the run of a plug-in other than the default."""
    from harness import DEFAULT_PLUGIN, options  # harness imports this module
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    if options.plugin != DEFAULT_PLUGIN:
        script += "-" + options.plugin
    return os.path.join(options.build, "wine-logs", script + ".log")


class WineSession:
    """The prefix's wineserver and Wine's background programs (services.exe,
    explorer.exe, ...) from scripts/wine-run --session: started before the
    programs under test, they write to wine_log() instead of the streams of
    the program that would have started them. env is their environment
    (WINEDEBUG, DISPLAY); None is this process's."""

    def __init__(self, env=None):
        self.env = env
        self.proc = subprocess.Popen([WINE_RUN, "--session", wine_log()], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, start_new_session=True, env=env)
        ready, _, _ = select.select([self.proc.stdout], [], [], 120)
        if not ready or not self.proc.stdout.readline():
            self.end()
            raise AssertionError(f"Wine's server and background programs did not start: see {wine_log()}")

    def end(self):
        """Closes the keeper's input, so that the server and the background
        programs end with the last program; ends them all if that takes too long."""
        self.proc.stdin.close()
        try:
            self.proc.wait(30)
        except subprocess.TimeoutExpired:
            subprocess.run([WINE_RUN, "--end"], capture_output=True, timeout=30)
            self.proc.wait(30)
        self.proc.stdout.close()


running = None  # the WineSession that runs, if any


def start_first_wine():
    """The script's first session, its log emptied."""
    os.makedirs(os.path.dirname(wine_log()), exist_ok=True)
    open(wine_log(), "w").close()
    print(f"Wine's server and background programs write to {wine_log()}", file=sys.stderr)
    start_wine()


def start_wine(env=None):
    """Ends the running Wine session, if any, and starts one in env."""
    global running
    end_wine()
    running = WineSession(env)


def end_wine():
    global running
    if running:
        running.end()
        running = None


def display(env):
    return (os.environ if env is None else env).get("DISPLAY")


def follow_display(cmd, env):
    """Before a Windows program whose X display is not the running session's:
    a session on its display, since explorer.exe's desktop, which the
    program's windows belong to, stays on the display it started on."""
    if running and cmd[:1] == [WINE_RUN] and display(env) != display(running.env):
        start_wine(env)


def end_wine_programs():
    """Ends whatever runs under Wine in this test's prefix, and its wineserver:
    what a failed test may leave behind (a program whose console went away).
    Inside scripts/private-net the server is the namespace's own, so nothing
    outside the test is touched. A session that ran starts again, so that
    later programs find the background programs running."""
    subprocess.run([WINE_RUN, "--end"], capture_output=True, timeout=30)
    if running:
        start_wine(running.env)
