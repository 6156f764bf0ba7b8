"""The MSFS bridge end to end against the simulator emulator: the real
kinemora_mfs_2020 (the Windows .exe with the stand-in SimConnect.dll under
Wine, or the native build with libSimConnect.so), kinemora-simulator on the
loopback, and kinemora-listen catching the datagrams in the private network."""

import os
import re
import shutil
import tempfile
import time

import harness
from harness import (GREETING, BridgeTestCase, Emulator, Listener, Process, check_running_clock, dots_after,
                     start_bridge, wait_for_dots)

class BridgeConnectionTest(BridgeTestCase):
    def test_waits_silently_for_the_simulator_then_relays(self):
        listener = self.keep(Listener())
        bridge = self.keep(start_bridge())
        time.sleep(2.5)
        self.assertEqual(bridge.text(), "", "nothing is printed while no simulator runs")

        emulator = self.keep(Emulator("--offline"))
        refusals = emulator.wait_lines(r"^refused a connection", 4, timeout=15)
        times = [t for t, _ in refusals]
        gaps = sorted(b - a for a, b in zip(times, times[1:]))
        self.assertTrue(0.9 <= gaps[len(gaps) // 2] <= 1.3, f"an open attempt about every second: {gaps}")
        self.assertTrue(all(0.7 <= g <= 2.0 for g in gaps), f"open attempts {gaps} s apart")
        self.assertEqual(bridge.text(), "", "failed opens print nothing")

        emulator.send("online")
        emulator.wait_lines(r"^client 'Request Data' connected$", 1)
        wait_for_dots(self, bridge, 10)
        bridge.stop()
        deliveries = len(emulator.deliveries())
        time.sleep(0.3)

        text = bridge.text()
        dots = dots_after(text, GREETING)
        self.assertIsNotNone(dots, f"both messages, then only dots: {text!r}")
        datagrams = listener.datagrams()
        # The bridge may have been stopped between a send and its dot.
        self.assertIn(len(datagrams), (dots, dots + 1))
        self.assertLessEqual(len(datagrams), deliveries)
        self.assertTrue(all(d["kind"] == "K2" and len(d["hex"]) == 110 for d in datagrams))
        check_running_clock(self, datagrams)

    def test_reconnects_after_the_quit_notice_and_after_a_dropped_connection(self):
        listener = self.keep(Listener())
        emulator = self.keep(Emulator())
        folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, folder, True)
        bridge = self.keep(Process(harness.bridge_in(folder, "--log")))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)

        endings = [
            ("quit", r"^client 'Request Data' disconnected: the client closed the connection$"),
            ("drop", r"^client 'Request Data' disconnected: dropped by the command 'drop'$"),
        ]
        for connection, (command, ended) in enumerate(endings, start=2):
            emulator.send("offline", command)
            emulator.wait_lines(ended, 1)
            refused = len(emulator.refusals())
            emulator.wait_lines(r"^refused a connection", refused + 1, timeout=10)
            shown = bridge.text()
            emulator.send("online")
            emulator.wait_lines(r"^client 'Request Data' connected$", connection, timeout=10)
            bridge.wait_until(lambda: (dots_after(bridge.text(), shown + GREETING) or 0) >= 5, 10,
                              f"connection {connection} greets and relays")
        bridge.stop()
        time.sleep(0.3)

        text = bridge.text()
        pieces = re.fullmatch(r"(?:\nConnected to Flight Simulator!\nLaunch a flight\.\nReceived:2(\.*)){3}", text)
        self.assertIsNotNone(pieces, f"three times both messages and the open acknowledgement, then dots: {text!r}")
        # The log counts each connection from zero.
        with open(os.path.join(folder, "kinemora_mfs_2020.log"), encoding="utf-8") as f:
            ended = [line[20:] for line in f.read().splitlines() if line[20:].startswith("connection ended")]
        dots_each = [len(piece) - len(piece.lstrip(".")) for piece in text.split("Received:2")[1:3]]
        self.assertEqual(ended, [f"connection ended: frames {n}, datagrams {n}, failures 0" for n in dots_each])
        self.assertEqual(len(emulator.matching(r"^sent the quit notice")), 1)
        datagrams = listener.datagrams()
        dots = text.count(".") - 3
        self.assertIn(len(datagrams), (dots, dots + 1))
        check_running_clock(self, datagrams)

        # A dropped connection is noticed after two seconds of failing
        # dispatch, and the next open follows a second later.
        dropped = emulator.matching(r"^client 'Request Data' disconnected: dropped")[0][0]
        retry = min(t for t, _ in emulator.refusals() if t > dropped)
        self.assertTrue(2.9 <= retry - dropped <= 5.0, f"the bridge tried again {retry - dropped:.2f} s after the drop")

    def test_failing_dispatch_ends_the_connection_only_after_two_seconds_without_records(self):
        # The stand-in plays a client library that reports failure whenever
        # nothing is queued: between frames every pass fails.
        env = dict(os.environ, KINEMORA_SIMCONNECT_QUIET_FAILS="1")
        listener = self.keep(Listener())
        emulator = self.keep(Emulator())
        bridge = self.keep(start_bridge(env=env))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 5)
        time.sleep(3)
        self.assertEqual(emulator.matching(r"disconnected"), [], "frames keep arriving: the connection stays")
        relayed = len(listener.datagrams())
        self.assertGreater(relayed, 60)

        emulator.send("hold")
        held = emulator.wait_lines(r"^hold: ", 1)[0][0]
        gone = emulator.wait_lines(r"^client 'Request Data' disconnected: the client closed the connection$", 1,
                                   timeout=10)[0][0]
        self.assertTrue(1.9 <= gone - held <= 3.5, f"the bridge closed {gone - held:.2f} s after the last frame")
        emulator.wait_lines(r"^client 'Request Data' connected$", 2, timeout=10)

    def test_relays_the_built_in_flight_from_the_emulator_of_the_same_build(self):
        # A port of its own through the environment: the stand-in reads it too.
        env = dict(os.environ, KINEMORA_SIMULATOR_PORT="50123")
        listener = self.keep(Listener())
        emulator = self.keep(Emulator("--port", 50123, windows_binary=harness.windows()))
        bridge = self.keep(start_bridge(env=env))
        emulator.wait_lines(r"^client 'Request Data' connected$", 1, timeout=60)
        wait_for_dots(self, bridge, 20)
        # One dispatch call a millisecond: a pump that does not sleep, or sleeps
        # in 15.6 ms steps as Windows does without a raised timer resolution, fails.
        rate = emulator.dispatch_rate(2.0)
        print(f"dispatch calls per second: {rate:.0f}")
        self.assertTrue(200 <= rate <= 1100, f"{rate:.0f} dispatch calls per second")
        bridge.stop()
        time.sleep(0.3)

        datagrams = listener.datagrams()
        self.assertGreaterEqual(len(datagrams), 20)
        for d in datagrams:
            self.assertEqual(d["kind"], "K2")
            self.assertEqual(len(d["hex"]), 110)
            heading = float(d["heading"])
            self.assertTrue(0.0 <= heading < 6.2832, heading)
        # The built-in flight waits ten seconds on the runway before it rolls.
        self.assertEqual(float(datagrams[0]["velocity_body_z"]), 0.0)
        deliveries = emulator.deliveries()
        frames = [int(m.group(1)) for _, m in deliveries]
        self.assertEqual(frames, sorted(frames), "one delivery per frame, in order")
        self.assertEqual(len(set(frames)), len(frames))

    def test_the_stand_in_delivers_msfs_signs(self):
        # MSFS: pitch positive nose down, bank positive left wing down, the
        # rotation about Z positive rolling left and about Y yawing right.
        cases = [(60, "in the climb", {"pitch": -1}),
                 (160, "rolling into the right turn", {"bank": -1, "rotation_velocity_body_z": -1,
                                                       "rotation_velocity_body_y": 1})]
        for start, moment, signs in cases:
            with self.subTest(moment):
                listener = self.keep(Listener())
                self.keep(Emulator("--start", start))
                wait_for_dots(self, self.keep(start_bridge()), 5)
                for process in self.processes:
                    process.stop()
                for field, sign in signs.items():
                    values = [float(d[field]) for d in listener.datagrams()]
                    self.assertTrue(values and all(v * sign > 0 for v in values), f"{field} {moment}: {values}")


if __name__ == "__main__":
    harness.main()
