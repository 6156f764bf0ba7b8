#!/usr/bin/env python3
"""Benchmark of the MSFS bridge: how many datagrams per second it relays when
the simulator answers every request at once, and the delay from a delivery
leaving the simulator emulator to its datagram reaching a listener.

Runs only inside scripts/private-net (the bridge broadcasts):

  scripts/private-net python3 bench/bridge_latency.py \\
      --build build/linux --win-build build/win64 --variant both

The emulator (native, with --fast) stamps each delivery with the monotonic
clock just before sending it; this script receives the datagrams on UDP port
50010 and stamps them with the same clock. A profile whose last column holds
the row number tells which delivery each datagram carries. Also prints what a
1 ms sleep lasts after the bridge's timer set-up (bridge_clock_probe)."""

import argparse
import os
import statistics
import struct
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import harness  # noqa: E402  (the programs, native or under Wine, and their process groups)
from stamped_receiver import StampedReceiver  # noqa: E402

ROWS = 20000  # the profile repeats after this many deliveries
DELIVERY = r"^delivered frame (\d+) to request 0: 12 values at ([0-9.]+)"


def write_profile(directory):
    with tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False, dir=directory) as f:
        f.write("velocity_body_z,bank,rotation_velocity_body_y\n")
        for row in range(ROWS):
            f.write(f"{50 + row % 7},{(row % 11) / 100},{row}\n")
        return f.name


def pick(data):
    """The row number a K2 datagram carries in its last float."""
    if len(data) == 55 and data[:3] == b"K2,":
        return int(struct.unpack_from("<f", data, 51)[0])
    return None


def percentile(sorted_values, fraction):
    return sorted_values[min(len(sorted_values) - 1, int(fraction * len(sorted_values)))]


def measure(args, windows, profile):
    receiver = StampedReceiver(50010, pick)
    emulator = harness.Emulator("--fast", "--profile", profile)
    bridge = harness.Process(harness.command("kinemora_mfs_2020", windows_binary=windows))
    try:
        emulator.wait_lines(r"^client 'Request Data' connected", 1, 60)
        time.sleep(args.warm_up)
        start = time.monotonic()
        time.sleep(args.seconds)
        end = time.monotonic()
    finally:
        bridge.stop()
        emulator.stop()
        receiver.stop()
    deliveries = [(int(m.group(1)), float(m.group(2))) for _, m in emulator.matching(DELIVERY)]

    # The latest delivery of each row before a datagram arrived is the one it carries.
    by_row = {}
    for frame, sent in deliveries:
        by_row.setdefault(frame % ROWS, []).append(sent)
    delays, unmatched = [], 0
    window = [(t, row) for t, row in receiver.arrivals if start <= t < end]
    for arrival, row in window:
        sent = [s for s in by_row.get(row, []) if s <= arrival]
        if sent:
            delays.append(arrival - sent[-1])
        else:
            unmatched += 1
    delivered = sum(1 for _, sent in deliveries if start <= sent < end)
    delays.sort()
    name = "Windows .exe under Wine" if windows else "native"
    if not delays:
        print(f"{name}: no datagrams arrived in the {args.seconds} s window")
        return
    print(f"{name}: {len(window)} datagrams in {end - start:.1f} s = {len(window) / (end - start):.0f} per second "
          f"({delivered} deliveries sent in the window, {unmatched} datagrams unmatched)")
    print(f"  delay from delivery to listener: median {statistics.median(delays) * 1e3:.3f} ms, "
          f"99th percentile {percentile(delays, 0.99) * 1e3:.3f} ms, "
          f"smallest {delays[0] * 1e3:.3f} ms, largest {delays[-1] * 1e3:.3f} ms")


def sleep_figures(args, windows):
    probe = harness.run(harness.command("bridge_clock_probe", "1000", windows_binary=windows), timeout=300)
    line = next((l for l in probe.stdout.splitlines() if l.startswith("1 ms sleep")), probe.stderr.strip())
    print(f"  {line.strip()}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(harness.ROOT, "build", "linux"), help="native build tree")
    parser.add_argument("--win-build", default=os.path.join(harness.ROOT, "build", "win64"), help="win64 build tree")
    parser.add_argument("--variant", choices=["native", "wine", "both"], default="both")
    parser.add_argument("--seconds", type=float, default=10.0, help="length of the measured window")
    parser.add_argument("--warm-up", type=float, default=1.0, help="seconds relayed before the window")
    args = parser.parse_args()
    harness.options.build, harness.options.win_build = args.build, args.win_build
    harness.require_private_network()

    profile = write_profile(args.build)
    try:
        for windows in {"native": [False], "wine": [True], "both": [False, True]}[args.variant]:
            measure(args, windows, profile)
            sleep_figures(args, windows)
    finally:
        os.unlink(profile)


if __name__ == "__main__":
    main()
