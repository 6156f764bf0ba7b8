"""The broadcast sender, natively and as a Windows program under Wine: exact
bytes to 255.255.255.255:50010, a fresh source port each time, no leaks."""

import unittest

import harness

K01 = bytes(b"K01,") + bytes(range(1, 41))
K2 = bytes(b"K2,") + bytes(range(100, 152))


class BroadcastSenderTest(unittest.TestCase):
    def test_delivers_exact_bytes_from_fresh_ports(self):
        listener = harness.Listener("--count", 3, "--timeout", 60)
        sent = harness.run(harness.command("send_probe", K01.hex(), K2.hex(), K01.hex()))
        self.assertEqual(sent.returncode, 0, sent.stderr)
        datagrams, summary = listener.finish()

        self.assertEqual([d["hex"] for d in datagrams], [K01.hex(), K2.hex(), K01.hex()])
        self.assertEqual([d["kind"] for d in datagrams], ["K01", "K2", "K01"])
        self.assertIn("summary: 3 datagrams: K01 2, K2 1, unrecognised 0", summary)
        ports = [d["source"].rsplit(":", 1)[1] for d in datagrams]
        self.assertEqual(len(set(ports)), 3, f"source ports repeat: {ports}")

    def test_ten_thousand_sends_leave_no_handle_open(self):
        result = harness.run(harness.command("send_probe", "--leak-check", 10000), timeout=600)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


if __name__ == "__main__":
    harness.main()
