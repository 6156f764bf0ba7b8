"""A UDP receiver for the benchmarks, which time arrivals to the microsecond:
it stamps each datagram with the monotonic clock as it arrives, in a thread
of its own."""

import socket
import threading
import time


class StampedReceiver:
    """Receives on a UDP port and keeps (arrival on the monotonic clock,
    pick(data)) for every datagram that pick does not answer with None."""

    def __init__(self, port, pick):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 1 << 22)
        self.sock.bind(("", port))
        self.sock.settimeout(0.2)
        self.pick = pick
        self.arrivals = []
        self.running = True
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while self.running:
            try:
                data = self.sock.recv(2048)
            except socket.timeout:
                continue
            now = time.monotonic()
            value = self.pick(data)
            if value is not None:
                self.arrivals.append((now, value))

    def stop(self):
        self.running = False
        self.thread.join()
        self.sock.close()
