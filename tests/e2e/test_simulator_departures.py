"""The emulator and the stand-in notice every departure from the bridge's
fixed calls: departure_probe makes one departing call of each kind, and each
is reported once; where the simulator refuses a call (an unknown variable or
units name), the emulator answers with an exception record as well."""

import os
import re
import unittest

import harness
from harness import Emulator


class DeparturesTest(unittest.TestCase):
    def test_each_departure_is_reported_and_unknown_names_are_refused(self):
        emulator = Emulator("--port", 50124)
        try:
            probe = harness.run([harness.command("departure_probe", windows_binary=False)[0]], timeout=60,
                                env=dict(os.environ, KINEMORA_SIMULATOR_PORT="50124"))
            status = emulator.status()
        finally:
            emulator.stop()
        self.assertEqual(probe.returncode, 0, probe.stderr)

        reported = re.findall(r"(?m)^kinemora-simulator: departure: (.*)$", emulator.errors())
        self.assertEqual(reported, [
            "definition 1, 'VELOCITY BODY Z': definition ID 1 (the bridge uses 0)",
            "definition 0, 'NO SUCH VARIABLE': no such variable; refused with an exception record",
            "definition 0, 'VELOCITY BODY X': units 'furlongs per fortnight' are unknown; "
            "refused with an exception record",
            "definition 0, 'VELOCITY BODY Y': units 'meters per second squared' do not measure this variable; "
            "delivered in SI units (m/s, m/s^2, radians, radians per second)",
            "definition 0, 'PLANE BANK DEGREES': datum type 3 (the bridge uses 4, a 64-bit float); "
            "delivered as a 64-bit float all the same",
            "definition 0, 'PLANE PITCH DEGREES': units 'Degrees' (the bridge uses 'radians'); converted",
            "request 5: request ID 5 (the bridge uses 0)",
            "request 0: definition ID 2 (the bridge uses 0)",
            "request 0: radius 200000 m (the bridge asks for 0: the user's aircraft only); "
            "answered with the user's aircraft",
            "request 0: object type 3 (the bridge asks for 0, the user's aircraft); answered with the user's aircraft",
        ])
        self.assertTrue(status.endswith(", 10 departures"), status)

        records = [line for line in probe.stdout.splitlines() if line.startswith("record ")]
        self.assertEqual(records[0], "record kind=2 size=308 name=KittyHawk",
                         "the open acknowledgement comes first")
        # Calls 3 and 4 of the connection were refused, at their name argument.
        self.assertEqual(records[1:3], ["record kind=1 code=7 send_id=3 index=3",
                                        "record kind=1 code=7 send_id=4 index=4"])
        # The refused variables are not part of definition 0: its deliveries carry two values.
        deliveries = [r for r in records[3:] if r.startswith("record kind=9")]
        self.assertTrue(deliveries, probe.stdout)
        self.assertEqual({r.split(" values=")[1] for r in deliveries}, {"3"})

        stand_in = re.findall(r"(?m)^SimConnect stand-in: departure: (.*)$", probe.stderr)
        self.assertEqual(stand_in, [
            "SimConnect_CallDispatch with a handle that is not open",
            "SimConnect_RequestDataOnSimObjectType with a handle that is not open",
            "SimConnect_Close with a handle that is not open",
            "SimConnect_CallDispatch with a null handle",
        ])
        self.assertIn("dispatch after close failed", probe.stdout)


if __name__ == "__main__":
    harness.main()
