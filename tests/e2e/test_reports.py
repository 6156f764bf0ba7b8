"""The reports a user can send, written from the stand-ins with every section
filled in: the plug-in's NAME.report.txt (report = on; kinemora-host flies it)
and the bridge's --report FILE (kinemora-simulator feeds it, announcing MSFS
2024 and refusing one call)."""

import os
import re
import shutil
import tempfile
import unittest

import harness
from harness import GREETING, BridgeTestCase, Emulator, Process, dots_after
from test_settings import PluginFolder, listen

FRAMES = 60  # three seconds at 20 frames a second: two whole seconds counted

NUMBER = r"\d+\.\d+\.\d+"
TIME = r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d"
SPREAD = r"lowest \d+, median \d+, highest \d+"
SENDING = [r"  datagrams sent: [1-9]\d*", r"  failures: none", r"  destinations: 255\.255\.255\.255:50010"]

# What each report must hold, a line each, in this order.
PLUGIN = [rf"Kinemora report: {{name}} {NUMBER}, the plug-in for Aerofly FS {{edition}}", r"System: \S.*",
          rf"Flight: began {TIME}, ran \d+\.\d s", rf"  frames: {FRAMES}", rf"  frames per second: {SPREAD}",
          rf"  messages per frame: {SPREAD}", r"  Update's own time: median [\d.]+ us, 99th percentile [\d.]+ us, "
          r"largest [\d.]+ us", r"  0x977c869390c770a0 Aircraft\.Velocity, Vector3d, flags 0x0000000002040040, "
          rf"88 bytes, {FRAMES} frames", r"  Simulation\.Time: every frame",
          rf"  Aircraft\.Velocity: every frame; BodyFrame flag on {FRAMES} of {2 * FRAMES} records", *SENDING]
BRIDGE = [rf"Kinemora report: kinemora_mfs_2020 {NUMBER}, the bridge for MSFS 2020 and 2024", r"System: \S.*",
          r"SimConnect library: .*SimConnect\.(dll|so)(, file version \d+\.\d+\.\d+\.\d+)?",
          r"Timer resolution: \S.*", rf"  simulator: SunRise 12\.1\.282174\.999, SimConnect 12\.1\.71436\.2 .*",
          r"  simulator exception 3 \(send ID 15, index 2\): .*",
          rf"  opened {TIME}, ended {TIME}: the simulator's quit notice", rf"  per second: {SPREAD}",
          r"  from request to delivery: median \d+ us, 99th percentile \d+ us", *SENDING]


class ReportTest(BridgeTestCase):
    def check(self, path, expected):
        with open(path, encoding="utf-8") as f:
            lines = f.read().splitlines()
        at = 0
        for pattern in expected:
            found = [i for i, line in enumerate(lines) if i >= at and re.fullmatch(pattern, line)]
            self.assertTrue(found, f"no line {pattern!r} after line {at + 1} of {path}:\n" + "\n".join(lines))
            at = found[0]

    def test_the_plugins_report_at_shutdown(self):
        plugin = harness.plugin()
        folder = PluginFolder("report = on\r\n")
        listener = listen(50010, FRAMES)
        host = harness.run(harness.command("kinemora-host", folder.plugin, "--duration", 3, "--rate", 20, "--quiet"))
        self.assertEqual(host.returncode, 0, host.stderr)
        self.assertEqual(len(listener.finish()[0]), FRAMES)
        self.check(folder.path(plugin.name + ".report.txt"),
                   [p.replace("{name}", plugin.name).replace("{edition}", plugin.edition) for p in PLUGIN])

    @harness.not_per_plugin
    def test_the_bridges_report_at_its_end(self):
        folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, folder, True)
        report = os.path.join(folder, "bridge report.txt")
        emulator = self.keep(Emulator("--edition", "2024"))
        bridge = self.keep(Process(harness.command("kinemora_mfs_2020", "--exit-with-simulator", "--report",
                                                   harness.windows_path(report) if harness.windows() else report)))
        bridge.wait_until(lambda: (dots_after(bridge.text(), GREETING) or 0) >= 70, 60, "seventy dots: two whole seconds")
        emulator.send("exception 3 15 2")
        bridge.wait_until(lambda: "Received:1" in bridge.text(), 10, "the exception")
        emulator.send("quit")
        bridge.wait(30)
        self.assertEqual(bridge.proc.returncode, 0, bridge.errors())
        # Windows says what came of the opt-out of power throttling; Wine has none.
        throttling = [r"power throttling: no opt-out on this system.*"] if harness.windows() else []
        self.check(report, BRIDGE[:4] + throttling + BRIDGE[4:])


if __name__ == "__main__":
    harness.main()
