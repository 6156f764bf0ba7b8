"""examples/python/kinemora_datagram.py, the receivers' Python module, on
Debian's Python: every case of tests/protocol/cases.txt (the worked examples
of docs/protocol.md, wrong lengths and lead-ins, the time field, each field
from its offset, special floats) from every kind of buffer, every other length
and anything that is not bytes refused, agreement with the C decoder on random
and malformed datagrams, and nothing in it newer than Python 3.8.

    /usr/bin/python3 test_kinemora_datagram.py --describe PATH/describe_datagrams
"""

import argparse
import ast
import math
import os
import random
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(ROOT, "examples", "python")
sys.path.insert(0, EXAMPLES)
sys.path.insert(0, os.path.join(ROOT, "tests", "protocol"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

import decoder_cases  # noqa: E402
import kinemora_datagram  # noqa: E402
from datagrams import K01_FIELDS, K2_FIELDS, f32, f32_bits, k01, k2  # noqa: E402

decode = kinemora_datagram.decode
describe_program = None  # set by main()

CASES = decoder_cases.read_cases()
FIELDS = {"K01": K01_FIELDS, "K2": K2_FIELDS}


def is_nan_bits(bits):
    return bits & 0x7f800000 == 0x7f800000 and bits & 0x007fffff != 0


class Cases(unittest.TestCase):
    def check(self, case, d):
        if case.kind is None:
            self.assertIsNone(d)
            return
        names = FIELDS[case.kind]
        self.assertEqual(list(d), ["kind", "time_us", *names])
        self.assertEqual(d["kind"], case.kind)
        self.assertIs(type(d["time_us"]), int)
        self.assertEqual(d["time_us"], case.time_us)
        for name, bits in zip(names, case.fields):
            value = d[name]
            self.assertIs(type(value), float, name)
            if is_nan_bits(bits):
                # A Python float keeps a NaN and its sign; its payload is not promised.
                self.assertTrue(math.isnan(value), name)
                self.assertEqual(math.copysign(1.0, value), -1.0 if bits >> 31 else 1.0, name)
            else:
                self.assertEqual(f32_bits(value), bits, name)

    def test_every_case_from_every_kind_of_buffer(self):
        for case in CASES:
            # A view into a larger receive buffer, as recvfrom_into leaves it.
            buffer = bytearray(b"\xee" + case.data + b"\xee")
            forms = [("bytes", case.data), ("bytearray", bytearray(case.data)), ("memoryview", memoryview(case.data)),
                     ("view into a buffer", memoryview(buffer)[1:1 + len(case.data)])]
            for form, data in forms:
                with self.subTest(line=case.line, form=form):
                    self.check(case, decode(data))


class Recognition(unittest.TestCase):
    def test_every_other_length_is_refused(self):
        for length in range(0, 1501):
            for lead_in, accepted in ((b"K01,", 44), (b"K2,", 55)):
                data = (lead_in + bytes(length))[:length]
                if length == accepted:
                    self.assertIsNotNone(decode(data), (lead_in, length))
                else:
                    self.assertIsNone(decode(data), (lead_in, length))

    def test_things_that_are_not_bytes_are_refused(self):
        k01 = next(case.data for case in CASES if case.kind == "K01")
        for thing in (None, 44, k01.decode("latin-1"), list(k01)):
            self.assertIsNone(decode(thing))


def random_datagrams(seed):
    """A fixed set of datagrams: random K01 and K2 bodies, ordinary values,
    wrong lengths with the right lead-ins, random bytes, and every case of
    cases.txt."""
    rng = random.Random(seed)

    def some_bytes(n):
        return bytes(rng.getrandbits(8) for _ in range(n))

    datagrams = []
    for _ in range(1500):
        datagrams.append(b"K01," + some_bytes(40))
        datagrams.append(b"K2," + some_bytes(52))
    for _ in range(300):
        datagrams.append(k01(int.from_bytes(some_bytes(4), "little"), [rng.uniform(-100, 100) for _ in range(9)]))
        datagrams.append(k2(int.from_bytes(some_bytes(4), "little"), [rng.gauss(0, 3) for _ in range(12)]))
    for lead_in in (b"K01,", b"K2,"):
        for length in (0, 1, 2, 3, 4, 5, 43, 45, 54, 56, 88, 110, 1500):
            datagrams.append((lead_in + some_bytes(length))[:length])
    for _ in range(300):
        datagrams.append(some_bytes(rng.randrange(0, 200)))
    return datagrams + [case.data for case in CASES]


def c_decoder_lines(datagrams):
    """The C decoder's reading of each datagram, through kinemora-listen's own formatting."""
    result = subprocess.run([describe_program], input="".join(d.hex() + "\n" for d in datagrams),
                            capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"{describe_program} failed: {result.stderr}")
    return result.stdout.splitlines()


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
                c_value = f32(float(text))  # printed with nine significant digits
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
