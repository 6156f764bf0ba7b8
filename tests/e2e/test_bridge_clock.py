"""The bridge's MicrosecondClock and its 1 ms sleeps on the real platform
(the Windows performance counter and Sleep under Wine, the monotonic clock
natively): bridge_clock_probe calibrates the clock as the bridge does, takes
the first field, sleeps 200 ms and takes the next, then times 1 ms sleeps."""

import re
import unittest

import harness
import pe_tables


class BridgeClockTest(unittest.TestCase):
    def test_first_field_is_zero_and_the_next_counts_microseconds_on_the_real_counter(self):
        probe = harness.run(harness.command("bridge_clock_probe", 200), timeout=120)
        self.assertEqual(probe.returncode, 0, probe.stderr)
        out = probe.stdout.replace("\r\n", "\n")
        self.assertRegex(out, r"(?m)^first field: 0$")
        field, counter = map(int, re.search(r"(?m)^field after a 200 ms sleep: (\d+) "
                                            r"\(counter: (\d+) microseconds\)$", out).groups())
        # The field was taken just before the counter's own reading.
        self.assertGreaterEqual(field, 200000)
        self.assertLessEqual(field, counter)
        self.assertLess(counter - field, 100000)
        # Windows sleeps in 15.6 ms steps unless the timer resolution is raised.
        median = float(re.search(r"(?m)^1 ms sleep over 200 sleeps: mean [0-9.]+ ms, median ([0-9.]+) ms", out)[1])
        print(f"median 1 ms sleep: {median} ms")
        self.assertLess(median, 2.5)

    @unittest.skipUnless(harness.windows(), "the import table of the Windows program")
    def test_bridge_raises_the_timer_resolution(self):
        # Wine sleeps about 1 ms either way, so the call itself is checked.
        exe = harness.command("kinemora_mfs_2020")[1]
        self.assertIn("timeBeginPeriod", pe_tables.imports(exe).get("winmm.dll", []))


if __name__ == "__main__":
    harness.main()
