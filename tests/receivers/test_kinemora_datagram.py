"""examples/python/kinemora_datagram.py, the receivers' Python module, on
Debian's Python: the worked examples of docs/protocol.md, every wrong length
and lead-in, agreement with the C decoder on random and malformed datagrams,
and nothing in it newer than Python 3.8.

    /usr/bin/python3 test_kinemora_datagram.py --describe PATH/describe_datagrams
"""

import argparse
import ast
import math
import os
import random
import struct
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples", "python")
sys.path.insert(0, EXAMPLES)

import kinemora_datagram  # noqa: E402

decode = kinemora_datagram.decode
describe_program = None  # set by main()

# docs/protocol.md, "Worked examples".
K01_EXAMPLE = bytes.fromhex("4b30312c005a6200cdcc4c42000040bf0000c03f0000003f000000be"
                            "0000803d0000803e000000bd0000803c")
K2_EXAMPLE = bytes.fromhex("4b322ca025260000007042000000bf0000a03f0000403f000080be0000003e"
                           "c2b8323ec2b8b2bde4cb9640cdcc4c3d0ad723bc0ad7a33c")


def with_u32(data, offset, value):
    """data with a little-endian unsigned 32-bit value written at offset."""
    return data[:offset] + value.to_bytes(4, "little") + data[offset + 4:]


class WorkedExamples(unittest.TestCase):
    def test_k01(self):
        # The exact doubles of the sent 32-bit floats, in wire order.
        self.assertEqual(list(decode(K01_EXAMPLE).items()), [
            ("kind", "K01"), ("time_us", 6445568),
            ("velocity_x", 51.20000076293945), ("velocity_y", -0.75), ("velocity_z", 1.5),
            ("bank", 0.5), ("pitch", -0.125), ("rate_of_turn", 0.0625),
            ("angular_velocity_x", 0.25), ("angular_velocity_y", -0.03125), ("angular_velocity_z", 0.015625),
        ])

    def test_k2(self):
        self.assertEqual(list(decode(K2_EXAMPLE).items()), [
            ("kind", "K2"), ("time_us", 2500000),
            ("velocity_body_z", 60.0), ("velocity_body_x", -0.5), ("velocity_body_y", 1.25),
            ("acceleration_body_z", 0.75), ("acceleration_body_x", -0.25), ("acceleration_body_y", 0.125),
            ("bank", 0.1745329201221466), ("pitch", -0.0872664600610733), ("heading", 4.71238899230957),
            ("rotation_velocity_body_z", 0.05000000074505806),
            ("rotation_velocity_body_x", -0.009999999776482582),
            ("rotation_velocity_body_y", 0.019999999552965164),
        ])

    def test_values_are_python_floats_and_time_an_int(self):
        for example in (K01_EXAMPLE, K2_EXAMPLE):
            d = decode(example)
            self.assertIs(type(d["time_us"]), int)
            for name, value in d.items():
                if name not in ("kind", "time_us"):
                    self.assertIs(type(value), float, name)

    def test_bytearray_and_memoryview_decode_alike(self):
        for example in (K01_EXAMPLE, K2_EXAMPLE):
            self.assertEqual(decode(bytearray(example)), decode(example))
            self.assertEqual(decode(memoryview(example)), decode(example))
            # A view into a larger receive buffer, as recvfrom_into leaves it.
            buffer = bytearray(b"\xee" + example + b"\xee")
            self.assertEqual(decode(memoryview(buffer)[1:1 + len(example)]), decode(example))


class Recognition(unittest.TestCase):
    def test_every_other_length_is_refused(self):
        for length in range(0, 1501):
            for lead_in, accepted in ((b"K01,", 44), (b"K2,", 55)):
                data = (lead_in + bytes(length))[:length]
                if length == accepted:
                    self.assertIsNotNone(decode(data), (lead_in, length))
                else:
                    self.assertIsNone(decode(data), (lead_in, length))
        # The examples one byte short and one byte long.
        for example in (K01_EXAMPLE, K2_EXAMPLE):
            self.assertIsNone(decode(example[:-1]))
            self.assertIsNone(decode(example + b"\x00"))

    def test_near_miss_lead_ins_are_refused(self):
        for lead_in in (b"K01;", b"k01,", b"K02,", b"K10,", b"K01 ", b" K01", b"KO1,", b"K2,0"):
            self.assertIsNone(decode(lead_in + K01_EXAMPLE[4:]), lead_in)
        for lead_in in (b"K2;", b"k2,", b"K3,", b"K2.", b"K20", b"K01"):
            self.assertIsNone(decode(lead_in + K2_EXAMPLE[3:]), lead_in)
        for i in range(4):
            changed = bytearray(K01_EXAMPLE)
            changed[i] ^= 0x01
            self.assertIsNone(decode(bytes(changed)), i)
        for i in range(3):
            changed = bytearray(K2_EXAMPLE)
            changed[i] ^= 0x80
            self.assertIsNone(decode(bytes(changed)), i)

    def test_payload_plays_no_part_in_recognition(self):
        self.assertEqual(decode(b"K01," + bytes(40))["kind"], "K01")
        self.assertEqual(decode(b"K2," + b"\xff" * 52)["kind"], "K2")

    def test_things_that_are_not_bytes_are_refused(self):
        for thing in (None, 44, K01_EXAMPLE.decode("latin-1"), list(K01_EXAMPLE)):
            self.assertIsNone(decode(thing))


class Fields(unittest.TestCase):
    def test_each_float_from_its_own_offset(self):
        # Field i holds the float i + 1, so a swapped or shifted field shows at once.
        for example, first in ((K01_EXAMPLE, 8), (K2_EXAMPLE, 7)):
            data = example[:first] + b"".join(struct.pack("<f", i + 1) for i in range((len(example) - first) // 4))
            d = decode(data)
            values = [v for k, v in d.items() if k not in ("kind", "time_us")]
            self.assertEqual(values, [float(i + 1) for i in range(len(values))])
            self.assertEqual(d["time_us"], decode(example)["time_us"])

    def test_time_field_is_unsigned_little_endian(self):
        for example, offset in ((K01_EXAMPLE, 4), (K2_EXAMPLE, 3)):
            self.assertEqual(decode(example[:offset] + b"\x01\x02\x03\x04" + example[offset + 4:])["time_us"],
                             0x04030201)
            for time in (0, 1, 0x01ffffff, 0x02000000, 10000000, 0xffffffff):
                d = decode(with_u32(example, offset, time))
                self.assertEqual(d["time_us"], time)
                first = "velocity_x" if d["kind"] == "K01" else "velocity_body_z"
                self.assertEqual(d[first], decode(example)[first], "the time must not reach into the first float")

    def test_special_floats_arrive_as_sent(self):
        cases = [
            (0x7fc00000, math.isnan), (0xffc00000, math.isnan), (0x7fc12345, math.isnan),
            (0x7f800001, math.isnan),
            (0x7f800000, lambda v: v == math.inf), (0xff800000, lambda v: v == -math.inf),
            (0x80000000, lambda v: v == 0.0 and math.copysign(1.0, v) < 0),
            (0x00000001, lambda v: v == 2.0 ** -149),
            (0x7f7fffff, lambda v: v == (2.0 - 2.0 ** -23) * 2.0 ** 127),
            (0xff7fffff, lambda v: v == -(2.0 - 2.0 ** -23) * 2.0 ** 127),
        ]
        for example, first in ((K01_EXAMPLE, 8), (K2_EXAMPLE, 7)):
            names = kinemora_datagram.K01_FIELDS if example is K01_EXAMPLE else kinemora_datagram.K2_FIELDS
            for bits, is_expected in cases:
                for i, name in enumerate(names):
                    d = decode(with_u32(example, first + 4 * i, bits))
                    self.assertTrue(is_expected(d[name]), (hex(bits), name, d[name]))


def random_datagrams(seed):
    """A fixed set of datagrams: random K01 and K2 bodies, ordinary values,
    special floats, wrong lengths with the right lead-ins, and random bytes."""
    rng = random.Random(seed)

    def some_bytes(n):
        return bytes(rng.getrandbits(8) for _ in range(n))

    datagrams = []
    for _ in range(1500):
        datagrams.append(b"K01," + some_bytes(40))
        datagrams.append(b"K2," + some_bytes(52))
    for _ in range(300):
        datagrams.append(b"K01," + some_bytes(4) + struct.pack("<9f", *(rng.uniform(-100, 100) for _ in range(9))))
        datagrams.append(b"K2," + some_bytes(4) + struct.pack("<12f", *(rng.gauss(0, 3) for _ in range(12))))
    specials = [0x7fc00000, 0xffc00000, 0x7fc12345, 0x7f800001, 0xff800001, 0x7f800000, 0xff800000,
                0x80000000, 0x00000001, 0x807fffff, 0x7f7fffff, 0xff7fffff]
    for bits in specials:
        datagrams.append(b"K01," + bits.to_bytes(4, "little") * 10)
        datagrams.append(b"K2," + bits.to_bytes(4, "little") * 13)
    for lead_in in (b"K01,", b"K2,"):
        for length in (0, 1, 2, 3, 4, 5, 43, 45, 54, 56, 88, 110, 1500):
            datagrams.append((lead_in + some_bytes(length))[:length])
    for _ in range(300):
        datagrams.append(some_bytes(rng.randrange(0, 200)))
    datagrams += [b"", b"K01", b"K2", bytes(44), bytes(55), b"K01," + bytes(51), b"K2," + bytes(41)]
    return datagrams


def c_decoder_lines(datagrams):
    """The C decoder's reading of each datagram, through kinemora-listen's own formatting."""
    result = subprocess.run([describe_program], input="".join(d.hex() + "\n" for d in datagrams),
                            capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"{describe_program} failed: {result.stderr}")
    return result.stdout.splitlines()


def as_float32(text):
    """A value printed with nine significant digits, back as the 32-bit float it was."""
    return struct.unpack("<f", struct.pack("<f", float(text)))[0]


class AgreementWithTheCDecoder(unittest.TestCase):
    def test_random_and_malformed_datagrams(self):
        datagrams = random_datagrams(2026)
        lines = c_decoder_lines(datagrams)
        self.assertEqual(len(lines), len(datagrams))
        kinds = {"K01": 0, "K2": 0, "unrecognised": 0}
        for data, line in zip(datagrams, lines):
            words = line.split(" ")
            d = decode(data)
            kinds[words[0]] += 1
            if words[0] == "unrecognised":
                self.assertIsNone(d, line)
                continue
            self.assertIsNotNone(d, line)
            c_fields = [w.split("=", 1) for w in words[1:]]
            self.assertEqual(d["kind"], words[0])
            # The same names in the same order, as kinemora-listen prints them.
            self.assertEqual([name for name, _ in c_fields], [k for k in d if k != "kind"], line)
            self.assertEqual(d["time_us"], int(c_fields[0][1]))
            for name, text in c_fields[1:]:
                c_value = as_float32(text)
                if math.isnan(c_value):
                    self.assertTrue(math.isnan(d[name]), (line, name))
                else:
                    self.assertEqual(d[name], c_value, (data.hex(), name))
                    self.assertEqual(math.copysign(1.0, d[name]), math.copysign(1.0, c_value), (data.hex(), name))
        # The set covers both kinds and plenty of refusals.
        self.assertGreater(kinds["K01"], 1500)
        self.assertGreater(kinds["K2"], 1500)
        self.assertGreater(kinds["unrecognised"], 300)


class Python38(unittest.TestCase):
    """Rig computers often run an older Python: nothing here may need more than 3.8."""

    NEWER = {"removeprefix": "3.9", "removesuffix": "3.9", "bit_count": "3.10", "randbytes": "3.9",
             "is_relative_to": "3.9"}

    def check_source(self, path, allowed_imports):
        with open(path, encoding="utf-8") as f:
            source = f.read()
        try:
            # Rejects syntax newer than 3.8, such as match statements and parenthesised with-items.
            tree = ast.parse(source, path, feature_version=(3, 8))
        except SyntaxError as error:
            self.fail(f"{path}: needs a newer Python than 3.8: {error}")
        for node in ast.walk(tree):
            if isinstance(node, ast.Attribute) and node.attr in self.NEWER:
                self.fail(f"{path}:{node.lineno}: .{node.attr} needs Python {self.NEWER[node.attr]}")
            if isinstance(node, ast.keyword) and node.arg == "strict":
                self.fail(f"{path}:{node.lineno}: zip(strict=...) needs Python 3.10")
            annotations = []
            if isinstance(node, (ast.FunctionDef, ast.AsyncFunctionDef)):
                annotations = [a.annotation for a in node.args.args + node.args.kwonlyargs] + [node.returns]
            elif isinstance(node, ast.AnnAssign):
                annotations = [node.annotation]
            for annotation in filter(None, annotations):
                for part in ast.walk(annotation):
                    if isinstance(part, ast.BinOp) and isinstance(part.op, ast.BitOr):
                        self.fail(f"{path}:{part.lineno}: X | Y types need Python 3.10")
                    if isinstance(part, ast.Subscript) and isinstance(part.value, ast.Name) and \
                            part.value.id in ("list", "dict", "tuple", "set", "type", "frozenset"):
                        self.fail(f"{path}:{part.lineno}: {part.value.id}[...] types need Python 3.9")
            if isinstance(node, (ast.Import, ast.ImportFrom)):
                names = [a.name for a in node.names] if isinstance(node, ast.Import) else [node.module]
                for name in names:
                    top = name.split(".")[0]
                    self.assertTrue(top in sys.stdlib_module_names or top in allowed_imports,
                                    f"{path}:{node.lineno}: imports {name}, which is not in the standard library")

    def test_module(self):
        self.check_source(os.path.join(EXAMPLES, "kinemora_datagram.py"), set())

    def test_receive_script(self):
        self.check_source(os.path.join(EXAMPLES, "receive.py"), {"kinemora_datagram"})


def main():
    global describe_program
    parser = argparse.ArgumentParser()
    parser.add_argument("--describe", required=True, help="the describe_datagrams test helper")
    args, rest = parser.parse_known_args()
    describe_program = args.describe
    if sys.version_info < (3, 10):
        sys.exit("run these tests with Debian's Python (/usr/bin/python3); this is " + sys.version)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
