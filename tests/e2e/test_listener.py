"""kinemora-listen against a stream of random datagrams (lengths 0 to 1,500)
mixed with real ones: every datagram counted under the right kind, no crash."""

import random
import socket
import time
import unittest

import harness


def random_stream(seed, count):
    rng = random.Random(seed)
    stream = []
    for i in range(count):
        choice = rng.randrange(6)
        if choice == 0:
            stream.append(b"K01," + rng.randbytes(40))
        elif choice == 1:
            stream.append(b"K2," + rng.randbytes(52))
        elif choice == 2:  # cut short or too long, with a real lead-in
            lead = rng.choice([b"K01,", b"K2,"])
            stream.append(lead + rng.randbytes(rng.choice([0, 1, 39, 41, 51, 53, 200])))
        else:
            stream.append(rng.randbytes(rng.randrange(0, 1501)))
    # Lengths at the edges.
    stream += [b"", b"K", b"K01", b"K01,", b"K2,", bytes(1500), b"K01," + bytes(1496)]
    return stream


def expected_counts(stream):
    counts = {"K01": 0, "K2": 0, "unrecognised": 0}
    for d in stream:
        if len(d) == 44 and d.startswith(b"K01,"):
            counts["K01"] += 1
        elif len(d) == 55 and d.startswith(b"K2,"):
            counts["K2"] += 1
        else:
            counts["unrecognised"] += 1
    return counts


class ListenerTest(unittest.TestCase):
    def run_stream(self, stream, windows_listener):
        port = 50123
        listener = harness.Listener("--port", port, "--count", len(stream), "--timeout", 120,
                                    windows_binary=windows_listener)
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            for i, datagram in enumerate(stream):
                s.sendto(datagram, ("127.0.0.1", port))
                if i % 50 == 49:
                    time.sleep(0.005)  # keeps well inside the receive buffer
        return listener.finish(timeout=180)

    def check(self, windows_listener):
        stream = random_stream(2026, 1500)
        datagrams, summary = self.run_stream(stream, windows_listener)
        c = expected_counts(stream)
        self.assertIn(f"summary: {len(stream)} datagrams: K01 {c['K01']}, K2 {c['K2']}, "
                      f"unrecognised {c['unrecognised']}", summary)
        self.assertEqual(len(datagrams), len(stream))
        for sent, got in zip(stream, datagrams):
            self.assertEqual(got["hex"], sent.hex())
            if got["kind"] == "unrecognised":
                self.assertEqual(int(got["length"]), len(sent))

    def test_usage_errors_are_explained(self):
        cases = [(["--bogus"], "unknown option '--bogus'"), (["--port"], "missing value for '--port'"),
                 (["--port", "0"], "--port wants a number from 1 to 65535"),
                 (["--count", "x"], "--count wants a whole number"), (["--timeout", "-1"], "--timeout wants")]
        for args, message in cases:
            result = harness.run(harness.command("kinemora-listen", *args))
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(message, result.stderr)
        shown = harness.run(harness.command("kinemora-listen", "--help"))
        self.assertEqual(shown.returncode, 0)
        self.assertIn("Usage: kinemora-listen", shown.stdout)

    def test_random_stream(self):
        self.check(windows_listener=harness.windows())


if __name__ == "__main__":
    harness.main()
