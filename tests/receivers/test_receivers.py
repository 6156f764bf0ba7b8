"""The example receivers against the real broadcast sender (send_probe) in the
private network: the C receiver natively and as a Windows program under Wine,
and examples/python/receive.py on Debian's Python. Each gets the worked
examples of docs/protocol.md, a K01 carrying a NaN and two datagrams that are
not ours, and must print the same lines.

    test_receivers.py --build DIR [--win-build DIR] --variant native|wine --python PATH [TEST...]
"""

import argparse
import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import harness  # noqa: E402

debian_python = None  # set by main()

K01 = bytes.fromhex("4b30312c005a6200cdcc4c42000040bf0000c03f0000003f000000be"
                    "0000803d0000803e000000bd0000803c")
K2 = bytes.fromhex("4b322ca025260000007042000000bf0000a03f0000403f000080be0000003e"
                   "c2b8323ec2b8b2bde4cb9640cdcc4c3d0ad723bc0ad7a33c")
K01_NAN_BANK = K01[:20] + bytes.fromhex("0000c07f") + K01[24:]
SENT = [K01, K2, K01_NAN_BANK, K01[:43], b"hello"]

# The sender's address inside scripts/private-net.
EXPECTED = [
    "from 192.0.2.10 K01 time_us=6445568 velocity_x=51.2000008 velocity_y=-0.75 velocity_z=1.5 bank=0.5 "
    "pitch=-0.125 rate_of_turn=0.0625 angular_velocity_x=0.25 angular_velocity_y=-0.03125 "
    "angular_velocity_z=0.015625",
    "from 192.0.2.10 K2 time_us=2500000 velocity_body_z=60 velocity_body_x=-0.5 velocity_body_y=1.25 "
    "acceleration_body_z=0.75 acceleration_body_x=-0.25 acceleration_body_y=0.125 bank=0.17453292 "
    "pitch=-0.0872664601 heading=4.71238899 rotation_velocity_body_z=0.0500000007 "
    "rotation_velocity_body_x=-0.00999999978 rotation_velocity_body_y=0.0199999996",
    "from 192.0.2.10 K01 time_us=6445568 velocity_x=51.2000008 velocity_y=-0.75 velocity_z=1.5 bank=nan "
    "pitch=-0.125 rate_of_turn=0.0625 angular_velocity_x=0.25 angular_velocity_y=-0.03125 "
    "angular_velocity_z=0.015625 (not all values finite: keep the last good ones)",
    "ignored 43 bytes from 192.0.2.10: not a K01 or K2 datagram",
    "ignored 5 bytes from 192.0.2.10: not a K01 or K2 datagram",
]


def receive(cmd):
    """Starts a receiver, sends SENT once it listens, returns its standard output lines."""
    process = harness.Process(cmd)
    process.wait_until(lambda: "listening on UDP port 50010" in process.errors(), 60, "the receiver listens")
    sent = harness.run(harness.command("send_probe", *(d.hex() for d in SENT), windows_binary=False))
    if sent.returncode != 0:
        process.stop()
        raise AssertionError(f"send_probe failed: {sent.stderr}")
    code, out, err = process.wait(30)
    if code != 0:
        raise AssertionError(f"{cmd} ended with {code}:\n{out}\n{err}")
    return out.splitlines()


class CReceiverTest(unittest.TestCase):
    def test_prints_each_datagram_decoded(self):
        lines = receive(harness.command("kinemora-example-receiver", "--count", len(SENT)))
        self.assertEqual(lines, EXPECTED)

    def test_usage(self):
        shown = harness.run(harness.command("kinemora-example-receiver", "--help"))
        self.assertEqual(shown.returncode, 0)
        self.assertIn("Usage: kinemora-example-receiver", shown.stdout)
        for args, message in ((["--port", "0"], "--port wants a number from 1 to 65535"),
                              (["--count"], "--count wants a whole number"),
                              (["--bogus"], "unknown option '--bogus'")):
            result = harness.run(harness.command("kinemora-example-receiver", *args))
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(message, result.stderr)


class PythonReceiverTest(unittest.TestCase):
    SCRIPT = os.path.join(ROOT, "examples", "python", "receive.py")

    def test_prints_each_datagram_decoded(self):
        lines = receive([debian_python, self.SCRIPT, "--count", str(len(SENT))])
        self.assertEqual(lines, EXPECTED)

    def test_usage(self):
        shown = harness.run([debian_python, self.SCRIPT, "--help"])
        self.assertEqual(shown.returncode, 0)
        self.assertIn("usage: receive.py", shown.stdout)


def main():
    global debian_python
    parser = argparse.ArgumentParser()
    parser.add_argument("--python", required=True, help="Debian's Python, for receive.py")
    args, rest = parser.parse_known_args()
    debian_python = args.python
    sys.argv = [sys.argv[0], *rest]
    harness.main()


if __name__ == "__main__":
    main()
