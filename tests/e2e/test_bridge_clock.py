"""The bridge's MicrosecondClock on the real high-resolution counter (the
Windows performance counter under Wine, the monotonic clock natively):
bridge_clock_probe calibrates it as the bridge does, takes the first field,
sleeps 200 ms and takes the next."""

import re
import unittest

import harness


class BridgeClockTest(unittest.TestCase):
    def test_first_field_is_zero_and_the_next_counts_microseconds_on_the_real_counter(self):
        probe = harness.run(harness.command("bridge_clock_probe", 20), timeout=120)
        self.assertEqual(probe.returncode, 0, probe.stderr)
        out = probe.stdout.replace("\r\n", "\n")
        self.assertRegex(out, r"(?m)^first field: 0$")
        field, counter = map(int, re.search(r"(?m)^field after a 200 ms sleep: (\d+) "
                                            r"\(counter: (\d+) microseconds\)$", out).groups())
        # The field was taken just before the counter's own reading.
        self.assertGreaterEqual(field, 200000)
        self.assertLessEqual(field, counter)
        self.assertLess(counter - field, 100000)
        self.assertRegex(out, r"(?m)^1 ms sleep over 20 sleeps: mean [0-9.]+ ms")


if __name__ == "__main__":
    harness.main()
