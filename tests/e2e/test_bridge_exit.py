"""The bridge that the simulator starts itself (exe.xml), with
--exit-with-simulator: it ends when the simulator quits or goes away, and
while it runs no second bridge starts."""

import time

import harness
from harness import GREETING, BridgeTestCase, Emulator, LiveListener, LiveProcess, dots_after, wait_for_dots


class BridgeExitTest(BridgeTestCase):
    def start(self):
        self.keep(LiveListener())
        emulator = self.keep(Emulator())
        bridge = self.keep(LiveProcess(harness.command("kinemora_mfs_2020", "--exit-with-simulator")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)
        return emulator, bridge

    def wait_end(self, bridge, timeout):
        started = time.monotonic()
        bridge.wait_until(lambda: bridge.proc.poll() is not None, timeout, "the bridge ends")
        return time.monotonic() - started

    def test_ends_after_the_quit_notice_and_no_second_bridge_runs_meanwhile(self):
        emulator, bridge = self.start()
        for args in (["--exit-with-simulator"], []):
            second = harness.run(harness.command("kinemora_mfs_2020", *args), timeout=60)
            self.assertEqual(second.returncode, 0)
            self.assertEqual(second.stdout, "")
            self.assertIn("a bridge started with --exit-with-simulator runs already", second.stderr)

        emulator.send("quit")
        self.assertLess(self.wait_end(bridge, 10), 3.0)
        self.assertEqual(bridge.proc.returncode, 0)
        self.assertIsNotNone(dots_after(bridge.text(), GREETING), "standard output as always")
        self.assertIn("the simulator has gone; ending (--exit-with-simulator)", bridge.errors())
        self.assertEqual(len(emulator.matching(r"^client 'Request Data' connected$")), 1, "no reconnection")

    def test_ends_when_the_simulator_crashes(self):
        emulator, bridge = self.start()
        emulator.send("drop")
        # Two seconds of failing dispatch tell a crash from a quiet connection.
        self.assertLess(self.wait_end(bridge, 10), 4.5)
        self.assertEqual(bridge.proc.returncode, 0)
        # Once it has ended, a bridge may start again.
        again = self.keep(LiveProcess(harness.command("kinemora_mfs_2020", "--exit-with-simulator")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 2, timeout=60)
        self.assertIsNone(again.proc.poll())


if __name__ == "__main__":
    harness.main()
