"""Every copy of the datagram fields in another language against the C++
table of protocol/motion_fields.h: names, order, offsets, units and sizes in the C
decoder header, docs/protocol.md, the Python module, the Wireshark dissector
and kinemora-plot. A field renamed or moved in one place and not in the others
fails here, with the file and the field named.

    python3 test_field_copies.py --table PATH/print_motion_fields
"""

import argparse
import importlib.machinery
import importlib.util
import os
import re
import struct
import subprocess
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
table_program = None  # set by main()

# How the copies spell the table's units.
UNIT_SPELLINGS = {"m/s": "m/s", "m/s^2": "m/s^2", "m/s²": "m/s^2", "rad": "rad", "radians": "rad",
                  "rad/s": "rad/s"}
FIX = "make it agree with protocol/motion_fields.h (or change both, and every other copy)"


def read(*path):
    with open(os.path.join(ROOT, *path), encoding="utf-8") as f:
        return f.read()


class Table:
    """The C++ table as print_motion_fields prints it."""

    def __init__(self, text):
        self.layouts = {}  # format: (size, lead-in, time offset)
        self.fields = {"K01": [], "K2": []}  # format: [(name, offset, unit, variable)]
        for line in text.splitlines():
            cells = line.split("\t")
            if cells[0] == "layout":
                self.layouts[cells[1]] = (int(cells[2]), cells[3], int(cells[4]))
            elif cells[0] == "field":
                self.fields[cells[1]].append((cells[2], int(cells[3]), cells[4], cells[5]))

    def names(self, kind):
        return [f[0] for f in self.fields[kind]]

    def offsets(self, kind):
        return [(f[0], f[1]) for f in self.fields[kind]]


def load_table():
    result = subprocess.run([table_program], capture_output=True, text=True, timeout=30)
    if result.returncode != 0:
        raise RuntimeError(f"{table_program} failed: {result.stderr}")
    return Table(result.stdout)


def label_unit(label):
    """The unit at the end of a label such as "Bank (rad)", or None."""
    m = re.search(r"\(([^()]*)\)\s*$", label)
    return UNIT_SPELLINGS.get(m.group(1)) if m else None


class Copies(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        cls.table = load_table()

    def assertFound(self, pattern, text, message):
        """Like assertRegex, without the whole file in the message."""
        if not re.search(pattern, text):
            self.fail(f"'{pattern}' not found: {message}")

    def assertContains(self, needle, text, message):
        if needle not in text:
            self.fail(f"'{needle}' not found: {message}")

    def check_units(self, where, kind, labels, required):
        """labels: {name: label}. A unit, where a label has one, is the table's."""
        for name, _, unit, _ in self.table.fields[kind]:
            found = label_unit(labels[name])
            if found is None and not required:
                continue
            self.assertEqual(found, unit, f"{where}: the unit of {kind} {name} ('{labels[name]}'): {FIX}")

    def test_c_decoder_header(self):
        where = "include/kinemora/motion_datagram.h"
        text = read("include", "kinemora", "motion_datagram.h")
        for kind, (size, lead_in, time_offset) in self.table.layouts.items():
            lower = kind.lower()
            self.assertFound(rf"#define KINEMORA_{kind}_SIZE {size}\n", text, f"{where}: the {kind} size: {FIX}")
            self.assertContains(f'memcmp(p, "{lead_in}", {len(lead_in)})', text,
                                f"{where}: the {kind} lead-in: {FIX}")
            body = re.search(rf"kinemora_decode_{lower}\(.*?return 1;", text, re.S).group(0)
            self.assertContains(f"out->time_us = kinemora_read_u32(p + {time_offset});", body,
                                f"{where}: the {kind} time field: {FIX}")
            decoded = [(m.group(1), int(m.group(2)))
                       for m in re.finditer(r"out->(\w+) = kinemora_read_f32\(p \+ (\d+)\);", body)]
            self.assertEqual(decoded, self.table.offsets(kind), f"{where}: kinemora_decode_{lower}: {FIX}")
            struct_body = re.search(rf"typedef struct kinemora_{lower} \{{(.*?)\}}", text, re.S).group(1)
            members = re.findall(r"(\w+)\s*[,;]", struct_body.split(";", 1)[1])
            self.assertEqual(members, self.table.names(kind), f"{where}: the members of kinemora_{lower}: {FIX}")

    def test_protocol_document(self):
        where = "docs/protocol.md"
        text = read("docs", "protocol.md")
        for kind, (size, lead_in, time_offset) in self.table.layouts.items():
            section = re.search(rf"\n## {kind} \((\d+) bytes.*?\n(.*?)\n## ", text, re.S)
            self.assertEqual(int(section.group(1)), size, f"{where}: the heading of the {kind} section: {FIX}")
            self.assertFound(rf"\| {kind} \| {size} bytes \|", text, f"{where}: the senders' table: {FIX}")
            self.assertFound(rf"\n\| {size} \| `[0-9a-f ]+` \(\"{lead_in}\"\) \| {kind} \|", text,
                             f"{where}: the table of lengths and lead-ins: {FIX}")
            rows = [[c.strip() for c in line.strip("|").split("|")]
                    for line in section.group(2).splitlines() if re.match(r"\| \d+ \| 4 \| ", line)]
            self.assertContains(f"| 0 | {len(lead_in)} | ASCII | lead-in \"{lead_in}\" |", section.group(2),
                                f"{where}: the {kind} lead-in row: {FIX}")
            self.assertIn([str(time_offset), "4", "u32"], [r[:3] for r in rows if r[-1] == "`time_us`"],
                          f"{where}: the {kind} time field row: {FIX}")
            floats = [r for r in rows if r[2] == "f32"]
            self.assertEqual([(r[-1].strip("`"), int(r[0])) for r in floats], self.table.offsets(kind),
                             f"{where}: the {kind} table (offset and C decoder member): {FIX}")
            if kind == "K2":
                self.assertEqual([(r[3], UNIT_SPELLINGS.get(r[4])) for r in floats],
                                 [(variable, unit) for _, _, unit, variable in self.table.fields[kind]],
                                 f"{where}: the K2 table (variable and unit): {FIX}")
            # The worked example names the fields in words: "velocity body Z" for velocity_body_z.
            example = re.search(rf"\n### {kind}\n(.*?)\nAs one hex string", text, re.S).group(1)
            row = r"\n\| (\d+) \| `[0-9a-f ]{11}` \| 0x[0-9a-f]{8} \| ([a-zA-Z ]+) \|"
            worked = [(m.group(2).lower().replace(" ", "_"), int(m.group(1))) for m in re.finditer(row, example)]
            self.assertEqual(worked, [("time_field", time_offset)] + self.table.offsets(kind),
                             f"{where}: the {kind} worked example: {FIX}")

    def test_python_module(self):
        where = "examples/python/kinemora_datagram.py"
        sys.path.insert(0, os.path.join(ROOT, "examples", "python"))
        try:
            import kinemora_datagram
        finally:
            sys.path.pop(0)
        for kind, (size, lead_in, time_offset) in self.table.layouts.items():
            self.assertEqual(getattr(kinemora_datagram, f"{kind}_SIZE"), size, f"{where}: {kind}_SIZE: {FIX}")
            self.assertEqual(list(getattr(kinemora_datagram, f"{kind}_FIELDS")), self.table.names(kind),
                             f"{where}: {kind}_FIELDS: {FIX}")
            # Field i carries i + 1 at the table's offset, the time field 1234567.
            data = bytearray(size)
            data[:time_offset] = lead_in.encode("ascii")
            struct.pack_into("<I", data, time_offset, 1234567)
            for i, (_, offset) in enumerate(self.table.offsets(kind)):
                struct.pack_into("<f", data, offset, i + 1)
            decoded = kinemora_datagram.decode(bytes(data))
            self.assertIsNotNone(decoded, f"{where}: decode() refuses a {kind} datagram of the table: {FIX}")
            self.assertEqual(decoded["time_us"], 1234567, f"{where}: the {kind} time field: {FIX}")
            self.assertEqual([(name, decoded[name]) for name in self.table.names(kind)],
                             [(name, float(i + 1)) for i, name in enumerate(self.table.names(kind))],
                             f"{where}: each {kind} value read from its offset: {FIX}")

    def test_wireshark_dissector(self):
        where = "tools/wireshark/kinemora.lua"
        text = read("tools", "wireshark", "kinemora.lua")
        for kind, (size, lead_in, time_offset) in self.table.layouts.items():
            self.assertFound(rf"\nlocal {kind}_SIZE = {size}\n", text, f"{where}: {kind}_SIZE: {FIX}")
            self.assertContains(f'n == {kind}_SIZE and tvb(0, {len(lead_in)}):string() == "{lead_in}"', text,
                                f"{where}: the {kind} lead-in: {FIX}")
            # add_datagram reads the time field after the lead-in, then the floats four bytes apart.
            lead = re.search(rf'add_datagram\(tvb, root, "{kind}", (\d+), {kind.lower()}_fields\)', text)
            self.assertEqual(int(lead.group(1)), time_offset, f"{where}: the {kind} lead-in length: {FIX}")
            block = re.search(rf"local {kind}_FLOATS = \{{(.*?)\n\}}", text, re.S).group(1)
            entries = re.findall(r'\{ "(\w+)", "([^"]*)" \}', block)
            self.assertEqual([(name, time_offset + 4 + 4 * i) for i, (name, _) in enumerate(entries)],
                             self.table.offsets(kind), f"{where}: {kind}_FLOATS: {FIX}")
            self.check_units(where, kind, dict(entries), required=kind == "K2")

    def test_plot(self):
        where = "tools/plot/kinemora-plot"
        path = os.path.join(ROOT, "tools", "plot", "kinemora-plot")
        loader = importlib.machinery.SourceFileLoader("kinemora_plot", path)
        spec = importlib.util.spec_from_loader("kinemora_plot", loader)
        plot = importlib.util.module_from_spec(spec)
        loader.exec_module(plot)
        series = [s for _, panel in plot.PANELS for s in panel]
        for kind in self.table.layouts:
            prefix = kind.lower() + "_"
            columns = sorted(column[len(prefix):] for k, column, _ in series if k == kind)
            self.assertEqual(columns, sorted(self.table.names(kind)),
                             f"{where}: the {kind} columns of PANELS, one per field: {FIX}")
            labels = {column[len(prefix):]: label for k, column, label in series if k == kind}
            self.check_units(where, kind, labels, required=kind == "K2")


def main():
    global table_program
    parser = argparse.ArgumentParser()
    parser.add_argument("--table", required=True, help="the print_motion_fields program")
    args, rest = parser.parse_known_args()
    table_program = args.table
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
