"""kinemora-listen against a stream of random datagrams (lengths 0 to 1,500)
mixed with real ones: every datagram counted under the right kind, no crash.
Two senders at once: the datagrams per sender address, and the continuity
of each one's time field (a K01 wrap, a K2 restart, steps back, a jump).
Sharing the port: the note on the first datagram addressed to this machine
alone (none for broadcasts), and the message when another program holds the
port for itself."""

import contextlib
import random
import re
import socket
import time
import unittest

import datagrams
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


def k01(time_us):
    return datagrams.k01(time_us, range(9))


def k2(time_us):
    return datagrams.k2(time_us, range(12))


# Sent back to back, so that every arrival gap is far below the 100 ms that
# make a jump; only the designed steps count.
K01_TIMES = [33550000, 33551000, 33552000, 33553000, 568,  # wraps past 2^25 us
             1568, 5001568,                                 # 5 s ahead: a jump
             5002568, 4002568]                              # 1 s back
K2_TIMES = [9999000, 0,  # the clock passed ten seconds: a restart
            1000, 2000, 0,  # 0 after 2 ms: a backward step
            1000]


def unicast_note(address, port):
    second = f"{address}:{port + 1}"
    return (f"kinemora-listen: a datagram arrived addressed to this computer alone ({address}), "
            "not to a broadcast address.\n"
            f"Such a datagram reaches only one of the programs that listen on UDP port {port} on this computer. "
            f"While kinemora-listen runs, other software listening on port {port} here (the rig's own software, "
            "for example) may be missing these datagrams; if nothing else listens on it, nothing is missed.\n"
            "Either stop kinemora-listen while the rig runs, or give the sender a second destination with "
            "another port for listening: keep the destination it has and add\n"
            f"    destination = {second}\n"
            f"to its settings file (the bridge also takes --destination {second}), then run\n"
            f"    kinemora-listen --port {port + 1}\n")


def port_held(port, detail):
    return (f"kinemora-listen: {detail}\n"
            f"Another program holds UDP port {port} for itself, so kinemora-listen cannot listen beside it. "
            "Close that program (the rig's own software, for example) while you check, or have the sender use a "
            f"second destination with another port, such as destination = 192.168.1.20:{port + 1} with this "
            f"computer's address (ipconfig shows it), and listen there with kinemora-listen --port {port + 1}.\n")


@contextlib.contextmanager
def held_by_a_socket(port):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("", port))  # without SO_REUSEADDR: the port is this socket's alone
        yield


@contextlib.contextmanager
def held_by_a_windows_program(port):
    holder = harness.Process(harness.command("port_holder", port, windows_binary=True), stdin=True)
    try:
        holder.wait_until(lambda: f"holding {port}" in holder.text(), 60, "port_holder holds the port")
        yield
    finally:
        holder.stop()


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
                 (["--count", "x"], "--count wants a whole number"), (["--timeout", "-1"], "--timeout wants"),
                 (["--live"], "--live draws a full-screen view, but standard output is not a ")]
        for args, message in cases:
            result = harness.run(harness.command("kinemora-listen", *args))
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(message, result.stderr)
        shown = harness.run(harness.command("kinemora-listen", "--help"))
        self.assertEqual(shown.returncode, 0)
        self.assertIn("Usage: kinemora-listen", shown.stdout)

    def test_random_stream(self):
        self.check(windows_listener=harness.windows())

    def test_two_senders_and_their_time_fields(self):
        port = 50124
        stream = []  # (sender, datagram): K01 from 127.0.0.1 and K2 from 192.0.2.10, interleaved
        for i in range(max(len(K01_TIMES), len(K2_TIMES))):
            if i < len(K01_TIMES):
                stream.append((0, k01(K01_TIMES[i])))
            if i < len(K2_TIMES):
                stream.append((1, k2(K2_TIMES[i])))
        stream.append((0, b"K01,short"))
        listener = harness.Listener("--port", port, "--count", len(stream), "--timeout", 60,
                                    windows_binary=harness.windows())
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as local, \
                socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as other:
            other.bind(("192.0.2.10", 0))  # the private network's own address
            for index, datagram in stream:
                (local, other)[index].sendto(datagram, ("127.0.0.1", port))
        code, out, err = listener.wait(120)
        self.assertEqual(code, 0, err)
        lines = out.splitlines()
        self.assertIn("summary: 16 datagrams: K01 9, K2 6, unrecognised 1", lines)
        self.assertEqual([l for l in lines if l.startswith(("from ", "time field "))], [
            "from 127.0.0.1: 10 datagrams: K01 9, K2 0, unrecognised 1",
            "from 192.0.2.10: 6 datagrams: K01 0, K2 6, unrecognised 0",
            "time field K01 from 127.0.0.1: 8 steps: wraps 1, restarts 0, backward steps 1, jumps 1",
            "time field K2 from 192.0.2.10: 5 steps: restarts 1, backward steps 1, jumps 0",
        ])
        figure = r"\d+\.\d{3} ms"
        for pattern in (rf"gaps: median {figure}, 99th percentile {figure}, largest {figure}",
                        rf"jitter: {figure} \(standard deviation of the gaps\)",
                        rf"stalls: \d+ \(gaps over {figure}, three times the median\)(, longest {figure})?"):
            self.assertTrue(any(re.fullmatch(pattern, l) for l in lines), f"no line like {pattern!r}:\n{out}")

    def test_a_datagram_to_this_machine_alone_is_told_once(self):
        port = 50125
        cases = [(["255.255.255.255", "192.0.2.255"], 0),  # the limited and the network's broadcast
                 (["192.0.2.255", "192.0.2.10", "192.0.2.10", "192.0.2.10"], 1)]  # the namespace's own address
        for destinations, notes in cases:
            listener = harness.Listener("--port", port, "--count", len(destinations), "--timeout", 60,
                                        windows_binary=harness.windows())
            with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
                for i, destination in enumerate(destinations):
                    s.sendto(k01(i), (destination, port))
            code, out, err = listener.wait(120)
            self.assertEqual(code, 0, err)
            self.assertEqual([d["hex"] for d in map(harness.parse_line, out.splitlines()) if d],
                             [k01(i).hex() for i in range(len(destinations))])
            self.assertEqual(err.count(unicast_note("192.0.2.10", port)), notes, err)
            self.assertEqual(err.count("alone"), notes, err)

    def test_a_port_held_by_another_program_alone(self):
        # Wine turns the bind's EADDRINUSE into WSAEACCES, as Windows answers
        # an SO_EXCLUSIVEADDRUSE holder; only Wine can run the Windows holder.
        port = 50126
        detail = (f"cannot bind UDP port {port} (Windows Sockets error 10013)" if harness.windows()
                  else f"cannot bind UDP port {port}: Address already in use")
        for hold in [held_by_a_socket] + ([held_by_a_windows_program] if harness.windows() else []):
            with hold(port):
                result = harness.run(harness.command("kinemora-listen", "--port", port, "--timeout", 5))
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertIn(port_held(port, detail), result.stderr.replace("\r\n", "\n"))


if __name__ == "__main__":
    harness.main()
