"""The Wine session of a test script: the harness starts the wineserver and
Wine's background programs (services.exe, explorer.exe, plugplay.exe, ...)
before the first program under test, with all their output in the script's
Wine log, so that a program's streams carry only what it writes itself.
Here every Windows program traces on channels that only those background
programs write on: a program that started them would read their lines."""

import os
import subprocess
import unittest

import harness

CHANNELS = ["wineboot", "explorer", "plugplay"]
os.environ["WINEDEBUG"] = "-all," + ",".join("trace+" + channel for channel in CHANNELS)


class WineSessionTest(unittest.TestCase):
    def test_a_program_reads_only_its_own_output_and_the_log_the_rest(self):
        for case, before in [("the session of main()", None),
                             ("the session that end_wine_programs starts again", harness.end_wine_programs)]:
            with self.subTest(case):
                if before:
                    before()
                result = harness.run([harness.WINE_RUN, "cmd", "/q", "/c", "echo out& echo err>&2"],
                                     stdin=subprocess.DEVNULL)
                self.assertEqual((result.returncode, result.stdout, result.stderr), (0, "out\n", "err\n"))
        with open(harness.wine_log()) as f:
            log = f.read()
        for channel in CHANNELS:
            self.assertIn(f":trace:{channel}:", log)


if __name__ == "__main__":
    harness.main()
