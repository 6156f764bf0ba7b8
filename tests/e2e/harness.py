"""Shared pieces of the end-to-end tests: the private-network guard, the
programs under test (native, or Windows under Wine) and the listener as the
receiver of every test."""

import argparse
import os
import re
import signal
import subprocess
import sys
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SCRIPTS = os.path.join(ROOT, "scripts")

options = argparse.Namespace(build=None, win_build=None, variant="native")


def require_private_network():
    """Refuses to go on unless this process runs inside scripts/private-net."""
    check = subprocess.run([os.path.join(SCRIPTS, "check-private-net")])
    if check.returncode != 0:
        sys.exit("refusing to run a test that sends outside a private network namespace")


def windows():
    return options.variant == "wine"


def command(name, *args, windows_binary=None):
    """The command line that runs one of the project's programs in the chosen variant."""
    use_windows = windows() if windows_binary is None else windows_binary
    if use_windows:
        exe = os.path.join(options.win_build, "bin", name + ".exe")
        if not os.path.exists(exe):
            raise FileNotFoundError(
                f"{exe} is missing: build the win64 preset first (cmake --build --preset win64)")
        return [os.path.join(SCRIPTS, "wine-run"), exe, *map(str, args)]
    return [os.path.join(options.build, "bin", name), *map(str, args)]


def library(name, windows_binary=None):
    use_windows = windows() if windows_binary is None else windows_binary
    if use_windows:
        return os.path.join(options.win_build, "bin", name + ".dll")
    return os.path.join(options.build, "bin", "lib" + name + ".so")


def run(cmd, timeout=120, **kwargs):
    """Runs a command to its end; returns the CompletedProcess with text output."""
    return subprocess.run(cmd, capture_output=True, text=True, timeout=timeout, **kwargs)


def end_process_group(proc):
    """Ends a program started with start_new_session=True, and all it started."""
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(10)


class Process:
    """A program running in the background in its own process group, so that
    stopping it also stops what Wine started for it."""

    def __init__(self, cmd, **kwargs):
        self.proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     text=True, start_new_session=True, **kwargs)

    def stop(self):
        end_process_group(self.proc)
        return self.proc.communicate()

    def wait(self, timeout):
        try:
            out, err = self.proc.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            out, err = self.stop()
            raise AssertionError(f"{self.proc.args} did not finish in {timeout} s\n{out}\n{err}")
        return self.proc.returncode, out, err


LINE = re.compile(r"^\s*(?P<arrival>[0-9.]+) from=(?P<source>\S+) (?P<kind>K01|K2|unrecognised) (?P<rest>.*)$")


def parse_line(line):
    """One line of kinemora-listen's output as a dict of its named fields."""
    m = LINE.match(line)
    if not m:
        return None
    fields = {"arrival": float(m["arrival"]), "source": m["source"], "kind": m["kind"]}
    for pair in m["rest"].split(" "):
        if "=" in pair:
            key, value = pair.split("=", 1)
            fields[key] = value
    return fields


class Listener:
    """kinemora-listen in the background, ready once it has bound its port."""

    def __init__(self, *args, windows_binary=False):
        self.process = Process(command("kinemora-listen", "--hex", *args, windows_binary=windows_binary))
        seen = ""
        while True:  # Wine may say something first
            line = self.process.proc.stderr.readline()
            seen += line
            if "listening on UDP port" in line:
                break
            if not line:
                out, err = self.process.stop()
                raise AssertionError(f"listener did not start: {seen}{err}")

    def finish(self, timeout=60):
        """Waits for the listener's own end (--count or --timeout); returns (datagrams, summary)."""
        code, out, err = self.process.wait(timeout)
        if code != 0:
            raise AssertionError(f"listener failed with {code}: {err}")
        datagrams = [d for d in map(parse_line, out.splitlines()) if d]
        summary = "\n".join(l for l in out.splitlines() if l.startswith(("summary:", "rate:")))
        return datagrams, summary

    def stop(self):
        return self.process.stop()


def main():
    """Parses the common options, checks the network, then runs the unittest cases."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True, help="native build tree")
    parser.add_argument("--win-build", help="win64 build tree")
    parser.add_argument("--variant", choices=["native", "wine"], default="native")
    parsed, rest = parser.parse_known_args()
    options.build, options.win_build, options.variant = parsed.build, parsed.win_build, parsed.variant
    require_private_network()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
