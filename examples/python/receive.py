#!/usr/bin/env python3
"""Receives Kinemora's motion datagrams on UDP port 50010 and prints each one
decoded, one line per datagram. A starting point for your own receiver:
replace the print with whatever moves your rig.

Run it on the rig's computer, on the same network as the simulator PC:
    python3 receive.py
    python3 receive.py --port 50010 --count 100
Stop it with Ctrl+C.
"""

import argparse
import math
import socket
import sys

import kinemora_datagram

# Bring the rig to rest when no motion datagram has arrived for this long (seconds).
SILENCE_S = 0.5


def describe(d):
    """One line with every field, numbers as kinemora-listen prints them
    (nine significant digits: enough to read each 32-bit float back exactly)."""
    values = [(name, value) for name, value in d.items() if name not in ("kind", "time_us")]
    line = "{} time_us={}".format(d["kind"], d["time_us"])
    for name, value in values:
        line += " {}={:.9g}".format(name, value)
    # NaN and infinities arrive as sent: a rig keeps its last good values instead.
    if not all(math.isfinite(value) for _, value in values):
        line += " (not all values finite: keep the last good ones)"
    return line


def main():
    parser = argparse.ArgumentParser(
        description="Prints every Kinemora motion datagram (K01 or K2) that arrives on a UDP port.")
    parser.add_argument("--port", type=int, default=kinemora_datagram.PORT,
                        help="UDP port to listen on (default %(default)s)")
    parser.add_argument("--count", type=int,
                        help="stop after this many datagrams (default: run until Ctrl+C)")
    args = parser.parse_args()
    if not 1 <= args.port <= 65535:
        parser.error("--port wants a number from 1 to 65535")
    if args.count is not None and args.count < 1:
        parser.error("--count wants a whole number above 0")

    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    # Lets kinemora-listen or a second receiver on this machine bind the port too.
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        # The any-address: a socket bound to one address may not see broadcasts.
        sock.bind(("0.0.0.0", args.port))
    except OSError as error:
        sys.exit("cannot bind UDP port {}: {} (is another program using it without SO_REUSEADDR?)"
                 .format(args.port, error))
    sock.settimeout(SILENCE_S)
    print("listening on UDP port {} (Ctrl+C to stop)".format(args.port), file=sys.stderr, flush=True)

    received = 0
    silent = True  # the rig starts at rest
    try:
        while args.count is None or received < args.count:
            try:
                data, (address, _port) = sock.recvfrom(2048)
            except socket.timeout:
                if not silent:
                    print("nothing for {} s: a rig would ease to rest now".format(SILENCE_S),
                          file=sys.stderr, flush=True)
                    silent = True
                continue
            received += 1
            d = kinemora_datagram.decode(data)
            if d is None:
                # Other traffic on the port: ignore it and go on.
                print("ignored {} bytes from {}: not a K01 or K2 datagram".format(len(data), address),
                      flush=True)
            else:
                print("from {} {}".format(address, describe(d)), flush=True)
                silent = False
    except KeyboardInterrupt:
        pass
    finally:
        sock.close()


if __name__ == "__main__":
    main()
