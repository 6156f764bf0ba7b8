"""The bridge that the simulator starts itself (exe.xml), with
--exit-with-simulator: it ends when the simulator quits or goes away, and
while it runs no second bridge starts."""

import fcntl
import os
import shutil
import tempfile
import time

import harness
from harness import GREETING, BridgeTestCase, Emulator, Listener, Process, dots_after, wait_for_dots


ONLY_ONE = ("kinemora_mfs_2020: another kinemora_mfs_2020 runs already and sends to the rig, so this one ends "
            "without sending; to run this one instead, close the other one's window (or end kinemora_mfs_2020.exe "
            "in Task Manager) and start this one again\n")


class BridgeExitTest(BridgeTestCase):
    def start(self):
        self.keep(Listener())
        emulator = self.keep(Emulator())
        bridge = self.keep(Process(harness.command("kinemora_mfs_2020", "--exit-with-simulator")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)
        return emulator, bridge

    def wait_end(self, bridge, timeout):
        """Seconds until the bridge ended, with all of its output read."""
        started = time.monotonic()
        bridge.wait(timeout)
        return time.monotonic() - started

    def test_ends_after_the_quit_notice(self):
        emulator, bridge = self.start()
        emulator.send("quit")
        self.assertLess(self.wait_end(bridge, 10), 3.0)
        self.assertEqual(bridge.proc.returncode, 0)
        self.assertIsNotNone(dots_after(bridge.text(), GREETING), "standard output as always")
        self.assertIn("the simulator has gone; ending (--exit-with-simulator)", bridge.errors())
        self.assertEqual(len(emulator.matching(r"^client 'Request Data' connected$")), 1, "no reconnection")

    def test_one_bridge_at_a_time_however_each_was_started(self):
        emulator = self.keep(Emulator())
        for first_args in ([], ["--exit-with-simulator"]):
            first = self.keep(Process(harness.command("kinemora_mfs_2020", *first_args)))
            wait_for_dots(self, first, 5)
            for second_args in ([], ["--exit-with-simulator"]):
                second = harness.run(harness.command("kinemora_mfs_2020", *second_args), timeout=60)
                self.assertEqual((second.returncode, second.stdout), (1, ""), (first_args, second_args))
                self.assertEqual(second.stderr.replace("\r\n", "\n"), ONLY_ONE, (first_args, second_args))
            first.stop()
            # Only the first bridge of each round ever connected.
            self.assertEqual(len(emulator.matching(r"^client 'Request Data' connected$")), 2 if first_args else 1)

    def test_a_lock_of_another_user_or_elevation_counts_as_held(self):
        if harness.windows():
            # A bridge started by a simulator run as administrator: the user's may not open its mutex.
            holder = self.keep(Process(harness.command("lock_holder"), stdin=True))
            holder.wait_until(lambda: holder.text() == "held\n", 60, "the mutex made")
            env = None
            bridge = harness.command("kinemora_mfs_2020")
        else:
            # Another user's lock file, read-only to this bridge's user, locked by its bridge.
            folder = tempfile.mkdtemp(dir=harness.options.build)
            self.addCleanup(shutil.rmtree, folder, True)
            os.chmod(folder, 0o755)
            lock = open(os.path.join(folder, "kinemora_mfs_2020.lock"), "w")
            self.addCleanup(lock.close)
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            env = dict(os.environ, TMPDIR=folder)
            bridge = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                      *harness.command("kinemora_mfs_2020")]
        second = harness.run(bridge, timeout=60, env=env)
        self.assertEqual((second.returncode, second.stdout), (1, ""))
        self.assertEqual(second.stderr.replace("\r\n", "\n"), ONLY_ONE)

    def test_ends_when_the_simulator_crashes(self):
        emulator, bridge = self.start()
        emulator.send("drop")
        # Two seconds of failing dispatch tell a crash from a quiet connection;
        # a bridge that waited for the simulator to come back would not end.
        self.assertLess(self.wait_end(bridge, 20), 10)
        self.assertEqual(bridge.proc.returncode, 0)
        # Once it has ended, a bridge may start again.
        again = self.keep(Process(harness.command("kinemora_mfs_2020", "--exit-with-simulator")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 2, timeout=60)
        self.assertIsNone(again.proc.poll())


if __name__ == "__main__":
    harness.main()
