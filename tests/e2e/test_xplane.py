"""kinemora_xplane against its stand-in, kinemora-simulator's sibling for
X-Plane: its datagrams equal what the MSFS bridge sends for the same flight,
the physics reads right, it finds X-Plane by its beacon and passes over other
roles, it says so when X-Plane goes away and relays again when it comes back,
it passes over short and foreign packets, and it ends its subscriptions when
it ends. Natively, and the Windows program under Wine."""

import os
import re
import shutil
import signal
import tempfile

import harness
from datagrams import K2_FIELDS
from harness import BridgeTestCase, Emulator, Listener, Process, start_bridge, wait_for_dots

# A flight that stands still: any moment of it is every moment.
STILL = ("velocity_body_z,velocity_body_x,velocity_body_y,acceleration_body_z,acceleration_body_x,"
         "acceleration_body_y,bank,pitch,heading,rotation_velocity_body_z,rotation_velocity_body_x,"
         "rotation_velocity_body_y\n" + "52.5,1.25,-2.5,0.75,-0.5,1.5,0.3,0.1,1.2,0.05,-0.02,0.03\n" * 2)
CONNECTED = "\nConnected to X-Plane 12.00 (version 120001)"


class XPlaneTest(BridgeTestCase):
    def stand_in(self, *args):
        sim = self.keep(Process(harness.command("kinemora-xplane-simulator", *args, windows_binary=False),
                                stdin=True))
        sim.wait_until(lambda: "listening on UDP port" in sim.text(), 30, "the stand-in")
        return sim

    def relay(self, *args):
        return self.keep(Process(harness.command("kinemora_xplane", *args)))

    def datagrams(self, *stand_in_args, count=10):
        """The K2 datagrams kinemora_xplane relays from the stand-in."""
        listener = self.keep(Listener())
        self.stand_in(*stand_in_args)
        wait_for_dots(self, self.relay("--xplane", "127.0.0.1"), count)
        for process in self.processes:
            process.stop()
        self.processes.clear()
        return listener.datagrams()

    def test_relays_what_the_msfs_bridge_sends_for_the_same_flight(self):
        folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, folder, True)
        still = os.path.join(folder, "still.csv")
        with open(still, "w") as f:
            f.write(STILL)
        xplane = self.datagrams("--profile", still)[0]
        listener = self.keep(Listener())
        self.keep(Emulator("--profile", still))
        wait_for_dots(self, self.keep(start_bridge()), 5)
        msfs = listener.datagrams()[0]
        for field in K2_FIELDS:
            a, b = float(xplane[field]), float(msfs[field])
            self.assertLessEqual(abs(a - b), 2e-6 * max(1.0, abs(b)), f"{field}: X-Plane {a}, MSFS {b}")

    def test_the_physics_reads_right(self):
        # MSFS's signs: pitch positive nose down, bank positive left wing down.
        for start, moment, signs in [(15, "on the take-off roll", {"acceleration_body_z": 1}),
                                     (60, "in the climb", {"pitch": -1}),
                                     (160, "in the right turn", {"bank": -1, "rotation_velocity_body_y": 1})]:
            with self.subTest(moment):
                for field, sign in signs.items():
                    values = [float(d[field]) for d in self.datagrams("--start", start)]
                    self.assertTrue(all(v * sign > 0 for v in values), f"{field} {moment}: {values}")

    def test_finds_the_master_by_its_beacon_and_passes_over_other_roles(self):
        for role, found in [("1", r"found X-Plane 12\.00 \(version 120001\) on 'kinemora-xplane-simulator' at "
                                  r"192\.0\.2\.10:49000 by its beacon"),
                            ("2", r"passed over a beacon from 192\.0\.2\.10:49000: not X-Plane's master \(version 1, "
                                  r"host 1, role 2\)\n.*no X-Plane beacon within 3 s; asking 127\.0\.0\.1:49000")]:
            with self.subTest(role=role):
                self.stand_in("--role", role)
                relay = self.relay()
                wait_for_dots(self, relay, 5)
                self.assertRegex(relay.errors(), found)
                for process in self.processes:
                    process.stop()
                self.processes.clear()

    def test_going_away_coming_back_odd_packets_and_the_end(self):
        sim = self.stand_in()
        folder = tempfile.mkdtemp(dir=harness.options.build)
        self.addCleanup(shutil.rmtree, folder, True)
        report = os.path.join(folder, "report.txt")
        relay = self.relay("--report", harness.windows_path(report) if harness.windows() else report)
        relay.wait_until(lambda: relay.text().startswith(CONNECTED + "....."), 60, "five dots")
        sim.write("offline\n")
        gone = "\nX-Plane has sent nothing for 2 s: it quit, restarted or is loading a flight; asking again every second"
        relay.wait_until(lambda: gone in relay.text(), 30, "X-Plane gone")
        sim.write("online\n")
        relay.wait_until(lambda: re.search(re.escape(gone + CONNECTED) + r"\.{5}", relay.text()), 30, "back")
        sim.write("junk\n")
        sim.wait_until(lambda: "did junk" in sim.text(), 10, "the odd packets")
        dots = relay.text().count(".")
        relay.wait_until(lambda: relay.text().count(".") >= dots + 5, 10, "five more dots")
        self.assertNotIn("x", relay.text().split(CONNECTED)[-1])
        os.killpg(relay.proc.pid, signal.SIGINT)
        relay.wait(30)
        unsubscribed = re.findall(r"^unsubscribed (\d+) ", sim.text(), re.M)
        self.assertEqual(sorted(map(int, unsubscribed)), list(range(12)), "every subscription ended")
        # The report shows the first values as X-Plane sent them, for a user to confirm the conventions.
        with open(report) as f:
            text = f.read()
        self.assertRegex(text, r"\n  X-Plane 12\.00 \(version 120001\) at 192\.0\.2\.10:49000\n")
        self.assertRegex(text, r"\n  values at 0\.0 s: vx_acf_axis -?[\d.e-]+, vy_acf_axis .*, Rrad -?[\d.e-]+\n")


if __name__ == "__main__":
    harness.main()
