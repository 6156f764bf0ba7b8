"""The Wireshark dissector tools/wireshark/kinemora.lua on a real capture:
send_probe broadcasts known datagrams inside the private network, tshark
captures them on kmv0, and tshark with the dissector must show every field of
K01 and K2 by name, at its offset, with its exact bytes and value, and mark
everything else as unrecognised with its length.

tshark runs as root here (as every test in the private network does). Debian's
Wireshark lets root run Lua scripts given with -X lua_script; to keep a
personal Wireshark set-up (preferences, other plug-ins) out of the test, tshark
gets an empty home and configuration folder of its own."""

import math
import os
import shutil
import signal
import socket
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e"))
import harness  # noqa: E402
from datagrams import K01_FIELDS, K2_FIELDS, f32, floats_of, k01, k2  # noqa: E402

DISSECTOR = os.path.join(harness.ROOT, "tools", "wireshark", "kinemora.lua")


# The worked examples of docs/protocol.md, then every special float value,
# then traffic that is not ours.
DATAGRAMS = [
    bytes.fromhex("4b30312c005a6200cdcc4c42000040bf0000c03f0000003f000000be"
                  "0000803d0000803e000000bd0000803c"),
    bytes.fromhex("4b322ca025260000007042000000bf0000a03f0000403f000080be00"
                  "00003ec2b8323ec2b8b2bde4cb9640cdcc4c3d0ad723bc0ad7a33c"),
    k01(0x1FFFFFF, [math.nan, math.inf, -math.inf, -0.0, 1e-45, 3.0, -2.9, 123456.789, -1e30]),
    k2(0, [math.nan, -math.inf, math.inf, -0.0, 1e-45, 9.80665, math.pi, -math.pi / 2,
           2 * math.pi, 1e-7, -123.456, 65504.0]),
    b"K01," + bytes(41),          # one byte too long
    b"K2," + bytes(51),           # one byte too short
    b"hello, rig",
    b"K01," + bytes(51),          # K01 lead-in with the K2 length
    b"K01," + bytes(39),          # one byte too short
    b"K2," + bytes(53),           # one byte too long
]


# Sent from source ports that other dissectors own and Wireshark offers the
# datagram to first, as happens now and then to a sender whose system picks
# its port: (source port, index in DATAGRAMS of the datagram sent again).
CLAIMED_PORTS = [(34962, 0),   # PROFINET
                 (44818, 1)]   # EtherNet/IP


def send_from_claimed_ports():
    for port, index in CLAIMED_PORTS:
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
            s.bind(("", port))
            s.sendto(DATAGRAMS[index], ("255.255.255.255", 50010))


def send(*datagrams):
    sent = harness.run(harness.command("send_probe", *(d.hex() for d in datagrams)))
    if sent.returncode != 0:
        raise AssertionError(f"send_probe failed: {sent.stderr}")


def shown(value):
    """A float as Wireshark shows it: printf %g with six significant digits."""
    return "%.6g" % f32(value)


# Marker datagrams that bracket the test's own: their lengths (7 and 9 bytes)
# differ from every datagram under test, so the live packet list tells them apart.
SYNC = b"kin-syn"
END = b"kin-done!"


class Capture:
    """tshark capturing port 50010 on kmv0 into a file, printing each packet's
    UDP length as it goes. tshark reports "Capturing on" a little before the
    capture is really live, so the test sends SYNC until one shows up."""

    def __init__(self, path, env):
        self.process = harness.Process(
            ["tshark", "-i", "kmv0", "-f", "udp port 50010", "-w", path,
             "-P", "-l", "-T", "fields", "-e", "udp.length"], env=env)
        self.looked_at = 0  # packet lines already looked at

    def _arrived(self, marker):
        """Whether a packet of the marker's length came after those already looked at."""
        lines = self.process.stdout_lines()
        lengths = [int(line) - 8 for line in lines[self.looked_at:] if line.strip().isdigit()]
        self.looked_at = len(lines)
        return len(marker) in lengths

    def wait_until_live(self, send, timeout=30):
        def live():
            send(SYNC)
            try:
                self.process.wait_until(lambda: self._arrived(SYNC), 0.5, "tshark captures the start marker")
                return True
            except AssertionError:  # not yet, or tshark ended: the outer wait tells which
                return False
        self.process.wait_until(live, timeout, "tshark captures on kmv0")

    def finish(self, send, timeout=30):
        send(END)
        self.process.wait_until(lambda: self._arrived(END), timeout, "tshark captures the end marker")
        # SIGINT lets tshark close the capture file properly.
        self.process.proc.send_signal(signal.SIGINT)
        code, _, err = self.process.wait(15)
        if code != 0:
            raise AssertionError(f"tshark capture failed with {code}:\n{err}")


def dissect(capture, env, *output):
    result = harness.run(["tshark", "-r", capture, "-X", f"lua_script:{DISSECTOR}", *output], env=env)
    if result.returncode != 0:
        raise AssertionError(f"tshark could not read the capture:\n{result.stderr}")
    if "Lua:" in result.stderr:
        raise AssertionError(f"the dissector failed to load:\n{result.stderr}")
    return result.stdout


class WiresharkDissectorTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if shutil.which("tshark") is None:
            raise AssertionError("tshark is missing: run scripts/setup.sh (Debian package tshark)")
        cls.tmp = tempfile.TemporaryDirectory(prefix="kinemora-wireshark-")
        home = os.path.join(cls.tmp.name, "home")
        os.mkdir(home)
        cls.env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        cls.env.pop("WIRESHARK_CONFIG_DIR", None)
        cls.capture = os.path.join(cls.tmp.name, "kinemora.pcapng")

        capture = Capture(cls.capture, cls.env)
        try:
            capture.wait_until_live(send)
            send(*DATAGRAMS)
            send_from_claimed_ports()
            capture.finish(send)
        finally:
            capture.process.stop()

        pdml = dissect(cls.capture, cls.env, "-T", "pdml")
        cls.packets = []
        cls.times_dissected = []
        cls.info = []
        info = dissect(cls.capture, cls.env, "-T", "fields", "-e", "udp.length", "-e", "_ws.col.Info")
        for packet, line in zip(ET.fromstring(pdml).iter("packet"), info.splitlines()):
            length, text = line.split("\t", 1)
            if int(length) - 8 in (len(SYNC), len(END)):
                continue
            cls.info.append(text)
            protos = [p for p in packet.iter("proto") if p.get("name") == "kinemora"]
            if not protos:
                raise AssertionError("a packet on port 50010 was not given to the dissector "
                                     "(did the Lua script load? as root, Wireshark's init.lua must "
                                     "allow user scripts)")
            cls.times_dissected.append(len(protos))
            cls.packets.append(protos[0])

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def fields(self, index):
        """The dissector's fields of one packet: name -> (offset, size, show, raw bytes)."""
        proto = self.packets[index]
        base = int(proto.get("pos"))
        found = {}
        for field in proto.iter("field"):
            name = field.get("name")
            if name.startswith("kinemora."):
                found[name] = (int(field.get("pos")) - base, int(field.get("size")),
                               field.get("show"), bytes.fromhex(field.get("value") or ""))
        return found

    def check_recognised(self, index, kind, lead_in, names):
        sent = DATAGRAMS[index]
        fields = self.fields(index)
        expected_names = {"kinemora.kind", "kinemora.length", "kinemora.lead_in", "kinemora.time_us"}
        expected_names |= {f"kinemora.{kind.lower()}.{n}" for n in names}
        self.assertEqual(set(fields), expected_names)

        self.assertEqual(fields["kinemora.kind"][2], kind)
        self.assertEqual(fields["kinemora.length"][2], str(len(sent)))
        self.assertEqual(fields["kinemora.lead_in"][:3], (0, len(lead_in), lead_in))
        time_us, values = floats_of(sent)
        self.assertEqual(fields["kinemora.time_us"],
                         (len(lead_in), 4, str(time_us), sent[len(lead_in):len(lead_in) + 4]))
        offset = len(lead_in) + 4
        for name, value in zip(names, values):
            self.assertEqual(fields[f"kinemora.{kind.lower()}.{name}"],
                             (offset, 4, shown(value), sent[offset:offset + 4]), name)
            offset += 4
        self.assertEqual(self.info[index], f"{kind} time_us={time_us}")

    def check_unrecognised(self, index, hint=""):
        length = len(DATAGRAMS[index])
        fields = self.fields(index)
        self.assertEqual(fields["kinemora.kind"][2], "unrecognised")
        self.assertEqual(fields["kinemora.length"][2], str(length))
        self.assertIn("kinemora.unrecognised", fields)
        self.assertNotIn("kinemora.time_us", fields)
        self.assertEqual(self.info[index], f"Kinemora unrecognised, {length} bytes{hint}")

    def test_every_datagram_captured_and_dissected(self):
        self.assertEqual(self.times_dissected, [1] * (len(DATAGRAMS) + len(CLAIMED_PORTS)))
        self.assertEqual(len(self.info), len(DATAGRAMS) + len(CLAIMED_PORTS))

    def test_a_datagram_that_another_dissector_took_first_is_dissected_too(self):
        for packet, (port, index) in enumerate(CLAIMED_PORTS, start=len(DATAGRAMS)):
            self.assertEqual(self.fields(packet), self.fields(index), port)
            self.assertEqual(self.info[packet], self.info[index], port)

    def test_k01_worked_example(self):
        self.check_recognised(0, "K01", "K01,", K01_FIELDS)
        fields = self.fields(0)
        self.assertEqual(fields["kinemora.time_us"][2], "6445568")
        self.assertEqual(fields["kinemora.k01.velocity_x"][2], "51.2")
        self.assertEqual(fields["kinemora.k01.bank"][:3], (20, 4, "0.5"))
        self.assertEqual(fields["kinemora.k01.pitch"][:3], (24, 4, "-0.125"))

    def test_k2_worked_example(self):
        self.check_recognised(1, "K2", "K2,", K2_FIELDS)
        fields = self.fields(1)
        self.assertEqual(fields["kinemora.time_us"][2], "2500000")
        self.assertEqual(fields["kinemora.k2.velocity_body_z"][:3], (7, 4, "60"))
        self.assertEqual(fields["kinemora.k2.heading"][:3], (39, 4, "4.71239"))
        self.assertEqual(fields["kinemora.k2.rotation_velocity_body_y"][:3], (51, 4, "0.02"))

    def test_special_values(self):
        self.check_recognised(2, "K01", "K01,", K01_FIELDS)
        self.check_recognised(3, "K2", "K2,", K2_FIELDS)
        k01_fields, k2_fields = self.fields(2), self.fields(3)
        self.assertEqual(k01_fields["kinemora.time_us"][2], "33554431")
        self.assertEqual([k01_fields[f"kinemora.k01.{n}"][2] for n in K01_FIELDS[:5]],
                         ["nan", "inf", "-inf", "-0", "1.4013e-45"])
        self.assertEqual(k2_fields["kinemora.time_us"][2], "0")
        self.assertEqual([k2_fields[f"kinemora.k2.{n}"][2] for n in K2_FIELDS[:3]], ["nan", "-inf", "inf"])

    def test_other_traffic_is_unrecognised(self):
        self.check_unrecognised(4, " (an oversized K01?)")
        self.check_unrecognised(5, " (a truncated K2?)")
        self.check_unrecognised(6)
        self.check_unrecognised(7, " (an oversized K01?)")
        self.check_unrecognised(8, " (a truncated K01?)")
        self.check_unrecognised(9, " (an oversized K2?)")


if __name__ == "__main__":
    harness.main()
