"""kinemora-plot on a recording made with kinemora-listen --csv: the panels
that each kind of file gets, every point of every series placed inside its
panel, NaN and infinities as gaps, and a plain error for a file it cannot use.

The recording mixed_recording.csv holds 12 K01, 10 K2 and 2 unrecognised
datagrams. K01 rows 5 and 6 (counting from 0) carry NaN and +inf as velocity x,
row 9 carries -inf as bank; K2 rows 3 and 5 carry NaN as heading."""

import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
TOOL = os.path.join(ROOT, "tools", "plot", "kinemora-plot")
RECORDING = os.path.join(HERE, "mixed_recording.csv")
SVG = "{http://www.w3.org/2000/svg}"

K01_COLUMNS = ["k01_velocity_x", "k01_velocity_y", "k01_velocity_z", "k01_bank", "k01_pitch",
               "k01_rate_of_turn", "k01_angular_velocity_x", "k01_angular_velocity_y", "k01_angular_velocity_z"]
K2_COLUMNS = ["k2_velocity_body_z", "k2_velocity_body_x", "k2_velocity_body_y",
              "k2_acceleration_body_z", "k2_acceleration_body_x", "k2_acceleration_body_y",
              "k2_bank", "k2_pitch", "k2_heading",
              "k2_rotation_velocity_body_z", "k2_rotation_velocity_body_x", "k2_rotation_velocity_body_y"]

# (finite points, non-finite values, lines, lone dots) for the series with gaps;
# every other K01 series has 12 points on one line, every other K2 series 10.
GAPPED = {
    "k01_velocity_x": (10, 2, 2, 0),  # rows 0-4 and 7-11
    "k01_bank": (11, 1, 2, 0),        # rows 0-8 and 10-11
    "k2_heading": (8, 2, 2, 1),       # rows 0-2 and 6-9, row 4 alone
}


def run_tool(*args):
    return subprocess.run([sys.executable, TOOL, *args], capture_output=True, text=True, timeout=60)


def recording_lines():
    with open(RECORDING, encoding="utf-8") as f:
        return f.read().splitlines()


class PlotCase(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="kinemora-plot-")
        self.addCleanup(self.tmp.cleanup)

    def path(self, name):
        return os.path.join(self.tmp.name, name)

    def write(self, name, lines):
        with open(self.path(name), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        return self.path(name)

    def plot(self, csv_path, *extra):
        output = self.path("out.svg")
        result = run_tool(csv_path, "--output", output, *extra)
        self.assertEqual(result.returncode, 0, result.stderr)
        return ET.parse(output).getroot(), result.stdout

    def panels(self, root):
        return {p.get("data-title"): p for p in root.iter(SVG + "g") if p.get("class") == "panel"}

    def series(self, root):
        return {g.get("data-column"): g for g in root.iter(SVG + "g") if g.get("class") == "series"}


def points_of(group):
    """The (x, y) points a series draws: its path's vertices and its lone dots."""
    lines, dots = [], []
    for path in group.iter(SVG + "path"):
        for subpath in path.get("d").split("M")[1:]:
            lines.append([tuple(map(float, p.split(","))) for p in subpath.replace("L", " ").split()])
    for circle in group.iter(SVG + "circle"):
        dots.append((float(circle.get("cx")), float(circle.get("cy"))))
    return lines, dots


class MixedRecordingTest(PlotCase):
    def test_panels_and_title(self):
        root, stdout = self.plot(RECORDING)
        titles = [p.get("data-title") for p in root.iter(SVG + "g") if p.get("class") == "panel"]
        self.assertEqual(titles, ["Velocities", "Accelerations", "Attitude", "Rates"])
        self.assertEqual(root.find(SVG + "title").text, "Kinemora motion: mixed_recording.csv")
        texts = [t.text for t in root.iter(SVG + "text")]
        self.assertIn("datagrams: K01 12, K2 10, unrecognised 2", texts)
        self.assertIn("arrival time (s)", texts)
        self.assertIn("K01 12, K2 10 datagrams", stdout)

    def test_every_series_in_its_panel_with_its_point_count(self):
        root, _ = self.plot(RECORDING)
        panels = self.panels(root)
        expected_panel = {"Velocities": K01_COLUMNS[:3] + K2_COLUMNS[:3],
                          "Accelerations": K2_COLUMNS[3:6],
                          "Attitude": K01_COLUMNS[3:5] + K2_COLUMNS[6:9],
                          "Rates": K01_COLUMNS[5:] + K2_COLUMNS[9:]}
        for title, columns in expected_panel.items():
            found = [g.get("data-column") for g in panels[title].iter(SVG + "g") if g.get("class") == "series"]
            self.assertEqual(found, columns, title)

        for column, group in self.series(root).items():
            points, gaps, line_count, dot_count = GAPPED.get(
                column, (12 if column.startswith("k01_") else 10, 0, 1, 0))
            lines, dots = points_of(group)
            self.assertEqual((int(group.get("data-points")), int(group.get("data-gaps"))), (points, gaps), column)
            self.assertEqual((len(lines), len(dots)), (line_count, dot_count), column)
            self.assertEqual(sum(map(len, lines)) + len(dots), points, column)

    def test_points_lie_inside_their_panel_in_arrival_order(self):
        root, _ = self.plot(RECORDING)
        for title, panel in self.panels(root).items():
            frame = next(r for r in panel.iter(SVG + "rect"))
            x0, y0 = float(frame.get("x")), float(frame.get("y"))
            x1, y1 = x0 + float(frame.get("width")), y0 + float(frame.get("height"))
            for group in panel.iter(SVG + "g"):
                if group.get("class") != "series":
                    continue
                lines, dots = points_of(group)
                xs = []
                for x, y in [p for line in lines for p in line] + dots:
                    self.assertTrue(x0 <= x <= x1 and y0 <= y <= y1, f"{group.get('data-column')}: {x},{y}")
                for line in lines:
                    xs = [x for x, _ in line]
                    self.assertEqual(xs, sorted(xs))

    def test_values_sit_on_their_tick_lines(self):
        # The first K2 datagram has velocity body Z exactly 60 and arrived
        # 0.023542 s after the first datagram of the file, which sits at the
        # left edge of the time axis.
        root, _ = self.plot(RECORDING)
        panel = self.panels(root)["Velocities"]
        label = next(t for t in panel.iter(SVG + "text") if t.text == "60")
        tick_y = float(label.get("y")) - 4
        lines, _ = points_of(self.series(root)["k2_velocity_body_z"])
        x, y = lines[0][0]
        self.assertAlmostEqual(y, tick_y, delta=0.11)
        zero = next(t for t in panel.iter(SVG + "text") if t.text == "0")
        self.assertLess(tick_y, float(zero.get("y")) - 4, "larger values are drawn higher up")
        frame = next(panel.iter(SVG + "rect"))
        x0, width = float(frame.get("x")), float(frame.get("width"))
        first, last = 0.724139, 1.283705  # arrival of the first and the last datagram
        self.assertAlmostEqual(x, x0 + (0.747681 - first) / (last - first) * width, delta=0.11)
        k01_lines, _ = points_of(self.series(root)["k01_velocity_y"])
        self.assertAlmostEqual(k01_lines[0][0][0], x0, delta=0.01)
        self.assertAlmostEqual(k01_lines[0][-1][0], x0 + width, delta=0.01)

    def test_legend_names_every_series_and_counts_gaps(self):
        root, _ = self.plot(RECORDING)
        legends = [t.text for t in root.iter(SVG + "text") if t.get("class") == "legend"]
        self.assertEqual(len(legends), len(K01_COLUMNS) + len(K2_COLUMNS))
        self.assertIn("K01 velocity x, 2 not finite", legends)
        self.assertIn("K01 bank, 1 not finite", legends)
        self.assertIn("K2 heading, true (rad), 2 not finite", legends)
        self.assertIn("K2 velocity body Z (m/s)", legends)

    def test_title_option_and_default_output_name(self):
        lines = recording_lines()
        csv_path = self.write("flight.csv", lines)
        result = run_tool(csv_path, "--title", "Test <flight> & more")
        self.assertEqual(result.returncode, 0, result.stderr)
        root = ET.parse(self.path("flight.svg")).getroot()
        self.assertEqual(root.find(SVG + "title").text, "Test <flight> & more")


class OneKindTest(PlotCase):
    def only(self, kind):
        lines = recording_lines()
        return self.write(f"{kind}.csv", [lines[0]] + [l for l in lines[1:] if l.split(",")[2] == kind])

    def test_k01_only(self):
        root, _ = self.plot(self.only("K01"))
        self.assertEqual(list(self.panels(root)), ["Velocities", "Attitude", "Rates"])
        self.assertEqual(sorted(self.series(root)), sorted(K01_COLUMNS))

    def test_k2_only(self):
        root, _ = self.plot(self.only("K2"))
        self.assertEqual(list(self.panels(root)), ["Velocities", "Accelerations", "Attitude", "Rates"])
        self.assertEqual(sorted(self.series(root)), sorted(K2_COLUMNS))

    def test_windows_spellings_of_nan_and_infinity(self):
        lines = recording_lines()
        header = lines[0].split(",")
        k01_rows = [l for l in lines[1:] if l.split(",")[2] == "K01"]
        cells = k01_rows[1].split(",")
        cells[header.index("k01_pitch")] = "1.#QNAN"
        cells[header.index("k01_velocity_z")] = "-1.#INF"
        root, _ = self.plot(self.write("windows.csv", [lines[0], k01_rows[0], ",".join(cells), k01_rows[2]]))
        series = self.series(root)
        self.assertEqual(series["k01_pitch"].get("data-gaps"), "1")
        self.assertEqual(series["k01_velocity_z"].get("data-gaps"), "1")
        self.assertEqual(series["k01_velocity_y"].get("data-points"), "3")


class ErrorTest(PlotCase):
    def check_error(self, csv_path, message):
        output = self.path("out.svg")
        result = run_tool(csv_path, "--output", output)
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertTrue(result.stderr.startswith("kinemora-plot: "), result.stderr)
        self.assertRegex(result.stderr, message)
        self.assertNotIn("Traceback", result.stderr)
        self.assertFalse(os.path.exists(output))

    def test_missing_file(self):
        self.check_error(self.path("nowhere.csv"), r"cannot read .*nowhere\.csv: No such file")

    def test_empty_file(self):
        open(self.path("empty.csv"), "w").close()
        self.check_error(self.path("empty.csv"), r"empty\.csv is empty: record one with kinemora-listen --csv")
        self.check_error(self.write("blank.csv", ["", ""]), r"blank\.csv is empty")

    def test_other_csv(self):
        self.check_error(self.write("other.csv", ["time,value", "1,2"]),
                         r"other\.csv is not a kinemora-listen CSV: its first line should begin with "
                         r"'arrival_s,source,kind,length,time_us'")

    def test_binary_file(self):
        path = self.path("binary.csv")
        with open(path, "wb") as f:
            f.write(bytes(range(128, 256)) * 4)
        self.check_error(path, r"binary\.csv is not a CSV text file")

    def test_header_only(self):
        self.check_error(self.write("none.csv", recording_lines()[:1]),
                         r"none\.csv holds no datagrams: kinemora-listen recorded nothing")

    def test_only_unrecognised(self):
        lines = recording_lines()
        self.check_error(self.write("foreign.csv", [lines[0]] + [l for l in lines if ",unrecognised," in l]),
                         r"foreign\.csv has no K01 or K2 datagrams, only 2 unrecognised ones")

    def test_bad_number_names_line_and_column(self):
        lines = recording_lines()
        cells = lines[3].split(",")
        cells[lines[0].split(",").index("k01_bank")] = "abc"
        lines[3] = ",".join(cells)
        self.check_error(self.write("bad.csv", lines), r"line 4, column k01_bank: 'abc' is not a number")

    def test_arrival_time_not_finite(self):
        lines = recording_lines()
        lines[1] = "inf" + lines[1][lines[1].index(","):]
        self.check_error(self.write("arrival.csv", lines), r"line 2: the arrival time 'inf' is not finite")

    def test_short_row(self):
        lines = recording_lines()
        lines[5] = ",".join(lines[5].split(",")[:10])
        self.check_error(self.write("short.csv", lines), r"short\.csv, line 6: 10 columns, the header has 26")

    def test_help(self):
        result = run_tool("--help")
        self.assertEqual(result.returncode, 0)
        self.assertTrue(result.stdout.startswith("usage: kinemora-plot"))
        self.assertIn("--output FILE", result.stdout)
        self.assertTrue(re.search(r"kinemora-listen\s+--csv", result.stdout))


if __name__ == "__main__":
    unittest.main(verbosity=2)
