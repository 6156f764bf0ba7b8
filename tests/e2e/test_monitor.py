"""The plug-in's monitor window under Wine, on a virtual X screen of its own
(Xvfb): where the window appears, what it shows, and how it starts and ends.
monitor_probe.exe drives the monitor from inside its process and reports;
this driver reads the screen with xwd. Nothing here sends a datagram. With
--plugin kinemora_aerofly_fs_4 only the cases that load the plug-in run, on
that plug-in."""

import contextlib
import ctypes
import math
import os
import select
import shutil
import signal
import struct
import subprocess
import tempfile
import unittest

import harness
from datagrams import f32

TITLE = "Aerofly External DLL Sample"
CLEAR = (220, 232, 244)
WIDTH, HEIGHT = 640, 1080
FIRST_LINE, LINE_ADVANCE, LINES = 4, 16, 32
# "Courier New" is Liberation Mono in the test prefix: 0.6 em wide, 12 pixels at em 20.
CHAR_WIDTH = 12
# Rows of a line that only its own glyphs reach (the lines, 16 apart, overlap).
GLYPH_ROWS = range(5, 16)
DARK = 96  # a pixel whose channels all lie below this is text

PROBE_TIMEOUT = 90
# StopMonitor returns within this in every state of the monitor, also on a
# busy machine; Wine's own wait in DestroyWindow without a window manager
# (2 s, turned off for the probe) would exceed it.
STOP_BOUND_MS = 1000


def _die_with_parent():
    """Runs in the child before exec: a killed test leaves no Xvfb behind."""
    ctypes.CDLL(None).prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


class Screenshot:
    """An xwd dump of the whole screen (ZPixmap, TrueColor)."""

    def __init__(self, data):
        fields = struct.unpack(">25I", data[:100])
        header_size, version = fields[0], fields[1]
        self.width, self.height = fields[4], fields[5]
        byte_order, bits_per_pixel, self.stride = fields[7], fields[11], fields[12]
        masks, colours = fields[14:17], fields[19]
        if version != 7 or bits_per_pixel not in (24, 32):
            raise AssertionError(f"unexpected xwd format: {fields}")
        self.step = bits_per_pixel // 8
        self.order = "little" if byte_order == 0 else "big"
        self.shifts = [(m & -m).bit_length() - 1 for m in masks]
        start = header_size + 12 * colours
        self.pixels = data[start:start + self.stride * self.height]

    def pixel(self, x, y):
        at = y * self.stride + x * self.step
        value = int.from_bytes(self.pixels[at:at + self.step], self.order)
        return tuple((value >> s) & 0xFF for s in self.shifts)

    def encoded(self, colour):
        value = sum(c << s for c, s in zip(colour, self.shifts))
        return value.to_bytes(self.step, self.order)

    def rows_all(self, colour, x0, x1, y0, y1):
        """True when every pixel of [x0, x1) x [y0, y1) has the colour."""
        run = self.encoded(colour) * (x1 - x0)
        return all(self.pixels[y * self.stride + x0 * self.step:y * self.stride + x1 * self.step] == run
                   for y in range(y0, y1))

    def dark_columns(self, x0, x1, y0, y1):
        """The leftmost and rightmost column of text pixels, relative to x0, or None."""
        xs = [x - x0 for y in range(y0, y1) for x in range(x0, x1) if max(self.pixel(x, y)) < DARK]
        return (min(xs), max(xs)) if xs else None


class VirtualScreen:
    """Xvfb on a display number it picks itself; stopped on leaving the block."""

    def __init__(self, width, height):
        self.size = f"{width}x{height}x24"

    def __enter__(self):
        self.log = tempfile.TemporaryFile()
        # Xvfb writes its display number here once it accepts clients. The
        # read end stays open while Xvfb runs: a write into a closed pipe would
        # end it. -noreset keeps it from resetting (and writing again) each
        # time its last client leaves, as Wine's helper processes do.
        self.display_pipe, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.size, "-nolisten", "tcp", "-noreset"],
                pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=self.log, preexec_fn=_die_with_parent)
        except FileNotFoundError:
            os.close(self.display_pipe)
            raise AssertionError("Xvfb is missing: run scripts/setup.sh (Debian package xvfb)")
        finally:
            os.close(write_end)
        ready, _, _ = select.select([self.display_pipe], [], [], 20)
        number = os.read(self.display_pipe, 16).decode().strip() if ready else ""
        if not number:
            self.__exit__()
            raise AssertionError("Xvfb did not start")
        self.display = ":" + number
        return self

    def __exit__(self, *_):
        harness.end_process(self.process)
        os.close(self.display_pipe)
        self.log.close()

    def check_running(self):
        """Fails with Xvfb's own words when it has ended early."""
        if self.process.poll() is not None:
            self.log.seek(0)
            raise AssertionError(f"Xvfb ended early ({self.process.returncode}): {self.log.read().decode()}")

    def capture(self):
        shot = subprocess.run(["xwd", "-root", "-silent", "-display", self.display], capture_output=True,
                              timeout=30)
        if shot.returncode != 0:
            raise AssertionError(f"xwd failed: {shot.stderr!r}")
        return Screenshot(shot.stdout)


def environment(display=None):
    """Wine on the given X display, or on none; Wine reports only why it could not show a window."""
    env = dict(os.environ)
    env.setdefault("WINEDEBUG", "-all,err+winediag")
    env.pop("DISPLAY", None)
    if display:
        env["DISPLAY"] = display
    return env


def probe(*args):
    return harness.command("monitor_probe", *args, windows_binary=True)


def run_probe(scenario, env, stdin_text="", *args):
    """Runs the probe to its end in a Wine session of its own (see
    own_wine_session); returns (code, stdout, stderr). A probe that hangs is
    ended with its whole process group."""
    with own_wine_session(env):
        process = harness.Process(probe(scenario, *args), env=env, stdin=True)
        process.write(stdin_text)
        return process.wait(PROBE_TIMEOUT)


@contextlib.contextmanager
def own_wine_session(env):
    """Wine's server and background programs in the probe's environment, ended
    before its screen goes: explorer.exe's desktop, which the probe's windows
    belong to, stays on the display it started on, so a session left behind
    would take in the next probe with its own, older display."""
    harness.start_wine(env)
    try:
        yield
    finally:
        harness.end_wine()


def report(lines):
    """key=value lines as a dict; repeated keys (line=) as lists."""
    found = {}
    for line in lines:
        key, sep, value = line.rstrip("\n").partition("=")
        if sep:
            found.setdefault(key, []).append(value)
    return {k: v if k == "line" else v[-1] for k, v in found.items()}


def expected_lines(counter, time, trace):
    """The monitor's 32 lines by Python's own "%f"; NaN shows without a sign."""
    entries = list(trace) + [(0.0, 0.0, 0.0)] * (30 - len(trace))
    lines = ["counter: %f" % f32(counter), "time: %f" % f32(time)]
    lines += ["trace: x:%f y:%f z:%f" % v for v in entries]
    return [line[:254] for line in lines]


def bits(value):
    return struct.pack("<d", value)[::-1].hex()


class MonitorWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Without a window manager on the screen, Wine waits two seconds in
        # every DestroyWindow for a manager to withdraw the window. The probe's
        # windows are made unmanaged (Wine draws their frame itself), so that
        # the measured stop times are the monitor's own.
        key = r"HKCU\Software\Wine\AppDefaults\monitor_probe.exe\X11 Driver"
        result = harness.run([harness.WINE_RUN, "reg", "add", key, "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"],
                             timeout=PROBE_TIMEOUT, env=environment(), stdin=subprocess.DEVNULL)
        if result.returncode != 0:
            raise AssertionError(f"could not configure Wine: {result.stdout}{result.stderr}")

    def show_window(self, screen_width, screen_height):
        """Shows the window over a known snapshot, checks it on the screen, then closes it by hand."""
        with VirtualScreen(screen_width, screen_height) as screen, own_wine_session(environment(screen.display)):
            process = harness.Process(probe("window"), env=environment(screen.display), stdin=True)
            try:
                process.wait_until(lambda: process.matching(r"^(ready=|window_shown=0)"), PROBE_TIMEOUT,
                                   "the probe shows its window or says why not")
                seen = process.stdout_lines()
                shown = report(seen)
                screen.check_running()
                if shown.get("window_shown") != "1":
                    _, err = process.stop()
                    self.fail("no window: " + "\n".join(seen) + f"\n{err}")
                shot = self.painted(screen, shown)
                process.write("close\n")
                code, _, err = process.wait(PROBE_TIMEOUT)
            finally:
                process.stop()
        self.assertEqual(code, 0, err)
        # What the probe printed after the window closed.
        closed = report(process.stdout_lines()[len(seen):])

        self.assertEqual(shown["title"], TITLE)
        self.assertEqual(shown["screen_width"], str(screen_width))
        self.assertEqual(shown["window_rect"], f"{screen_width - WIDTH} 0 {screen_width} {HEIGHT}")
        self.check_picture(shot, shown, screen_width)

        self.assertEqual(closed["thread_ended_after_close"], "1", "closing the window ends the monitor thread")
        self.assertEqual(closed["windows_after_close"], "0")
        print(f"StopMonitor after the window was closed: {closed['stop_after_close_ms']} ms")
        self.assertLess(int(closed["stop_after_close_ms"]), STOP_BOUND_MS)
        self.assertEqual(closed["counter_after_close"], "4", "the snapshot goes on after the close")

    def painted(self, screen, shown, timeout=10):
        """The screen once the window has painted its background and its last
        line, which a busy machine may take a while to do; after timeout
        seconds, the screen as it is, for check_picture to say what is wrong."""
        cx, cy = map(int, shown["client_origin"].split())
        cw = int(shown["client_size"].split()[0])
        last = cy + FIRST_LINE + LINE_ADVANCE * (LINES - 1)
        shot = None

        def done():
            nonlocal shot
            shot = None  # unless xwd succeeds
            shot = screen.capture()
            return shot.pixel(cx, cy) == CLEAR and shot.dark_columns(
                cx, cx + cw, last + GLYPH_ROWS.start, last + GLYPH_ROWS.stop) is not None
        try:
            harness.wait_for(done, timeout, "the window's painting")
        except AssertionError:
            if shot is None:  # xwd failed, rather than the time ran out
                raise
        return shot

    def check_picture(self, shot, shown, screen_width):
        cx, cy = map(int, shown["client_origin"].split())
        cw, ch = map(int, shown["client_size"].split())
        self.assertGreater(cw, 500)
        self.assertGreater(ch, 600)
        self.assertEqual(shot.pixel(cx, cy), CLEAR)

        # Nothing left of the window shows the picture.
        left = screen_width - WIDTH - 1
        self.assertFalse(any(shot.pixel(left, y) == CLEAR for y in range(0, shot.height, 7)))

        self.assertTrue(shot.rows_all(CLEAR, cx, cx + cw, cy, cy + FIRST_LINE), "above the first line")
        lines = shown["line"]
        self.assertEqual(len(lines), LINES)
        for i, text in enumerate(lines):
            top = cy + FIRST_LINE + LINE_ADVANCE * i
            columns = shot.dark_columns(cx, cx + cw, top + GLYPH_ROWS.start, top + GLYPH_ROWS.stop)
            self.assertIsNotNone(columns, f"no text on line {i}: {text}")
            first, last = columns
            self.assertLess(first, CHAR_WIDTH, f"line {i} starts at x {first}")
            self.assertTrue(CHAR_WIDTH * (len(text) - 1) < last <= CHAR_WIDTH * len(text) + 6,
                            f"line {i} ({len(text)} characters: {text}) ends at x {last}")
        below = cy + FIRST_LINE + LINE_ADVANCE * LINES + 10
        bottom = min(cy + ch, shot.height)
        self.assertTrue(shot.rows_all(CLEAR, cx, cx + cw, below, bottom), f"clear colour from y {below - cy}")

    @harness.not_per_plugin
    def test_window_at_right_edge_of_full_hd_screen(self):
        self.show_window(1920, 1080)

    @harness.not_per_plugin
    def test_window_at_right_edge_of_larger_screen(self):
        self.show_window(2560, 1440)

    @harness.not_per_plugin
    def test_start_and_stop_in_every_order(self):
        found, err = self.screen_probe("lifecycle")
        self.assertLess(int(found["stop_without_monitor_ms"]), STOP_BOUND_MS)
        for start in ("first", "second"):
            self.assertEqual(found[f"{start}_title"], TITLE, f"{start} start shows no window: {err}")
            self.assertLess(int(found[f"{start}_stop_ms"]), STOP_BOUND_MS, "stop while the window shows")
            self.assertEqual(found[f"{start}_windows_after_stop"], "0")
        self.assertEqual(found["double_start_windows"], "1", "a second start does nothing")
        self.assertEqual(found["double_start_windows_after_stop"], "0")
        self.assertEqual(found["quick_stop_rounds"], "11")
        self.assertLess(int(found["quick_stop_slowest_ms"]), STOP_BOUND_MS,
                        "a stop before or while the window is made")
        self.assertEqual(found["quick_stop_windows_left"], "0")

    @harness.not_per_plugin
    def test_a_close_by_hand_and_a_stop_race_200_times(self):
        found, err = self.screen_probe("race")
        self.assertEqual(found["race_windows_shown"], "200", err)
        self.assertLess(int(found["race_slowest_stop_ms"]), STOP_BOUND_MS)
        self.assertEqual(found["race_windows_left"], "0")

    def run_plugin_probe(self, scenario):
        """The probe on a copy of the plug-in under test in a folder of its
        own, with monitor = on in its settings file; returns the probe's report."""
        plugin = harness.plugin(windows_binary=True)
        folder = os.path.join(tempfile.mkdtemp(dir=harness.options.build), "Dokumente \u00e9 \u2708")
        os.makedirs(folder)
        dll = os.path.join(folder, plugin.name + ".dll")
        shutil.copy(plugin.path, dll)
        with open(os.path.join(folder, plugin.name + ".ini"), "w", newline="") as f:
            f.write("# the window inside the simulator\r\nmonitor = on\r\n")
        return self.screen_probe(scenario, harness.windows_path(dll), plugin.edition)

    def screen_probe(self, scenario, *args):
        """The probe on a 1920 x 1080 screen of its own; returns its report and its standard error."""
        with VirtualScreen(1920, 1080) as screen:
            code, out, err = run_probe(scenario, environment(screen.display), "", *args)
            screen.check_running()
        print(out)
        self.assertEqual(code, 0, err)
        return report(out.splitlines()), err

    def test_the_settings_file_shows_the_window_from_init_to_shutdown(self):
        found, err = self.run_plugin_probe("dll")
        for round in ("first", "second"):
            self.assertEqual(found[f"{round}_loaded"], "1")
            self.assertEqual(found[f"{round}_title"], TITLE, f"Init of the {round} load shows the window: {err}")
            self.assertLess(int(found[f"{round}_shutdown_ms"]), STOP_BOUND_MS)
            self.assertEqual(found[f"{round}_windows_after_shutdown"], "0")
            self.assertEqual(found[f"{round}_unloaded"], "1")
        self.assertEqual(found["first_place_kept"], "1")
        self.assertEqual(found["second_moved"], "1", "the second load is at another address")
        self.assertEqual(found["no_shutdown_still_loaded"], "1", "the window's thread holds the plug-in")
        self.assertEqual(found["no_shutdown_windows"], "1")
        self.assertEqual(found["no_shutdown_unloaded_after_close"], "1")
        self.assertEqual(found["no_shutdown_windows_after_close"], "0")
        self.assertEqual(found["alive"], "1")

    def test_a_host_that_unloads_right_after_init_200_times(self):
        found, err = self.run_plugin_probe("unload")
        self.assertEqual((found["unload_windows_shown"], found["unload_unloaded"]), ("200", "200"), err)

    @harness.not_per_plugin
    def test_lines_read_as_c_formats_them(self):
        nan = struct.unpack("<d", struct.pack("<Q", 0x7FF8000000000000))[0]
        negative_nan = struct.unpack("<d", struct.pack("<Q", 0xFFF8000000000000))[0]
        cases = [
            (0, 0.0, []),
            (16777217, 1234.56789, [(51.2, 0.0, -1.5)] + [(0.0, 0.0, 0.0)] * 28 + [(-7.25, 3.0, 0.5)]),
            (4294967295, 1e300, [(1e300, -1e300, 1e300), (nan, negative_nan, math.inf),
                                 (-math.inf, -0.0, 16777217.25), (-1.7976931348623157e308, 5e-324, 5e-7)]),
            (7, -1e300, [(-1e300, 0.0, 0.0)]),
        ]
        stdin = "".join(f"{counter} {bits(time)} " + " ".join(bits(c) for v in trace for c in v) + "\n"
                        for counter, time, trace in cases)
        code, out, err = run_probe("lines", environment(), stdin)
        self.assertEqual(code, 0, err)
        lines = report(out.splitlines())["line"]
        self.assertEqual(len(lines), LINES * len(cases))
        for n, (counter, time, trace) in enumerate(cases):
            self.assertEqual(lines[LINES * n:LINES * (n + 1)], expected_lines(counter, time, trace), f"case {n}")
        self.assertEqual(len(lines[LINES * 2 + 2]), 254)


if __name__ == "__main__":
    harness.main()
