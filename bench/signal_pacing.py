#!/usr/bin/env python3
"""Benchmark of kinemora-signal's pacing: how evenly its datagrams arrive at a
receiver, natively and as the Windows .exe under Wine, at 60 and 250
datagrams a second (or the rates given).

Runs only inside scripts/private-net (kinemora-signal broadcasts):

  scripts/private-net python3 bench/signal_pacing.py \\
      --build build/linux --win-build build/win64 --variant both

Each run sends a K01 sine for --seconds (no soft start or stop) to
broadcast:50041; this script receives on that port and stamps each datagram
with the monotonic clock as it arrives. It prints the gaps between arrivals
(median, 99th percentile, smallest, largest), the mean rate, and how late
each datagram arrived against its place in the schedule (datagram n at
n / rate after the start, n read from the K01 time field; counted from the
datagram that came earliest against it), with the drift of that lateness
from the run's first second to its last: sleeps that added up would show as
a drift of their overshoot times the datagrams sent."""

import argparse
import os
import statistics
import struct
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402  (the programs, native or under Wine)
from stamped_receiver import StampedReceiver  # noqa: E402

PORT = 50041


def pick(data):
    """The time field of a K01 datagram."""
    if len(data) == 44 and data[:4] == b"K01,":
        return struct.unpack_from("<I", data, 4)[0]
    return None


def percentile(sorted_values, fraction):
    return sorted_values[min(len(sorted_values) - 1, int(fraction * len(sorted_values)))]


def ms(seconds):
    return f"{seconds * 1e3:.3f} ms"


def measure(args, windows, rate):
    receiver = StampedReceiver(PORT, pick)
    sender = harness.command("kinemora-signal", "--axis", "pitch", "--amplitude", "0.1", "--period", "2",
                             "--rate", rate, "--ramp", "0", "--duration", args.seconds, "--quiet",
                             "--destination", f"broadcast:{PORT}", windows_binary=windows)
    try:
        result = harness.run(sender, timeout=args.seconds + 120)
    finally:
        time.sleep(0.3)  # the last datagrams in flight
        receiver.stop()
    name = "Windows .exe under Wine" if windows else "native"
    if result.returncode != 0 or len(receiver.arrivals) < 2:
        print(f"{name}, {rate} Hz: kinemora-signal ended with {result.returncode}, "
              f"{len(receiver.arrivals)} datagrams arrived\n{result.stderr}")
        return
    arrivals = receiver.arrivals
    expected = int(round(rate * args.seconds)) + 1
    gaps = sorted(b[0] - a[0] for a, b in zip(arrivals, arrivals[1:]))
    span = arrivals[-1][0] - arrivals[0][0]
    # Datagram n is due n / rate after the start; its time field says n / rate in
    # microseconds. Each one's lateness is counted from the one that came earliest.
    offsets = [t - field / 1e6 for t, field in arrivals]
    earliest = min(offsets)
    late = sorted(o - earliest for o in offsets)
    first_second = [o for (t, _), o in zip(arrivals, offsets) if t - arrivals[0][0] < 1.0]
    last_second = [o for (t, _), o in zip(arrivals, offsets) if arrivals[-1][0] - t < 1.0]
    drift = statistics.median(last_second) - statistics.median(first_second)
    print(f"{name}, {rate} Hz for {args.seconds} s: {len(arrivals)} of {expected} datagrams, "
          f"mean rate {(len(arrivals) - 1) / span:.2f} Hz")
    print(f"  gaps: median {ms(statistics.median(gaps))}, 99th percentile {ms(percentile(gaps, 0.99))}, "
          f"smallest {ms(gaps[0])}, largest {ms(gaps[-1])}")
    print(f"  late against the schedule: median {ms(statistics.median(late))}, "
          f"99th percentile {ms(percentile(late, 0.99))}, largest {ms(late[-1])}; "
          f"drift from the first second to the last {ms(drift)}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(harness.ROOT, "build", "linux"), help="native build tree")
    parser.add_argument("--win-build", default=os.path.join(harness.ROOT, "build", "win64"), help="win64 build tree")
    parser.add_argument("--variant", choices=["native", "wine", "both"], default="both")
    parser.add_argument("--seconds", type=float, default=5.0, help="length of each run")
    parser.add_argument("--rates", type=float, nargs="+", default=[60, 250], help="datagrams per second")
    args = parser.parse_args()
    if os.environ.get("KINEMORA_PRIVATE_NET") != "1":
        sys.exit("signal_pacing: refusing to broadcast outside scripts/private-net")
    harness.options.build, harness.options.win_build = args.build, args.win_build
    harness.require_private_network()

    for windows in {"native": [False], "wine": [True], "both": [False, True]}[args.variant]:
        for rate in args.rates:
            measure(args, windows, rate if rate != int(rate) else int(rate))


if __name__ == "__main__":
    main()
