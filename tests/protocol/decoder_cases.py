"""The decoder's cases of cases.txt, for the tests that read them: read_cases()
for Python, and a C header for the C99 check, which cannot read a file on a
microcontroller:

    decoder_cases.py OUTPUT.h [--cases FILE] [--flash]

--flash keeps the bytes in an AVR's program memory (its 8 KB of RAM would not
hold them); the header then reads them with pgm_read_byte.
"""

import argparse
import os
import sys

CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cases.txt")
FIELD_COUNTS = {"K01": 9, "K2": 12}


class Case:
    """One line of cases.txt: the datagram, and its kind ("K01", "K2" or None)
    with the time field and the bits of each float it decodes to."""

    def __init__(self, line, data, kind, time_us=None, fields=()):
        self.line, self.data, self.kind, self.time_us, self.fields = line, data, kind, time_us, list(fields)


def _repeated(tokens, where):
    """Each token HEX or HEX*N as (HEX, N)."""
    for token in tokens:
        text, _, count = token.partition("*")
        try:
            yield text, int(count) if count else 1
        except ValueError:
            raise ValueError(f"{where}: '{token}' is not HEX or HEX*N") from None


def _bytes(text, where):
    if text.strip() == "-":
        return b""
    data = b""
    for hex_text, count in _repeated(text.split(), where):
        try:
            data += bytes.fromhex(hex_text) * count
        except ValueError:
            raise ValueError(f"{where}: '{hex_text}' is not hex bytes") from None
    return data


def _fields(text, where):
    fields = []
    for word, count in _repeated(text.split(), where):
        if len(word) != 8:
            raise ValueError(f"{where}: '{word}' is not the 8 hex digits of a float's bits")
        fields += [int(word, 16)] * count
    return fields


def read_cases(path=CASES):
    """Every case of the file, in order; a malformed line raises ValueError with its number."""
    cases = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            where = f"{os.path.basename(path)} line {number}"
            columns = [c.strip() for c in line.split("|")]
            data = _bytes(columns[0], where)
            if columns[1:] == ["none"]:
                cases.append(Case(number, data, None))
                continue
            if len(columns) != 4 or columns[1] not in FIELD_COUNTS:
                raise ValueError(f"{where}: expected 'BYTES | none' or 'BYTES | K01 or K2 | TIME_US | FIELD BITS'")
            fields = _fields(columns[3], where)
            if len(fields) != FIELD_COUNTS[columns[1]]:
                raise ValueError(f"{where}: {columns[1]} has {FIELD_COUNTS[columns[1]]} fields, not {len(fields)}")
            cases.append(Case(number, data, columns[1], int(columns[2], 0), fields))
    return cases


def c_header(cases, flash):
    """The cases as C99: decoder_cases[] with each one's line, kind and length,
    and case_bytes[] with each datagram followed, for K01 and K2, by the
    expected time field and field bits as little-endian 32-bit words."""
    kinds = {None: "KINEMORA_UNRECOGNISED", "K01": "KINEMORA_K01", "K2": "KINEMORA_K2"}
    table, blob = [], b""
    for case in cases:
        table.append(f"    {{{case.line}u, {kinds[case.kind]}, {len(case.data)}u, {len(blob)}u}},")
        blob += case.data
        if case.kind:
            blob += b"".join(word.to_bytes(4, "little") for word in [case.time_us, *case.fields])
    rows = [", ".join(f"0x{b:02x}" for b in blob[i:i + 16]) + "," for i in range(0, len(blob), 16)]
    if flash:
        storage = ["#include <avr/pgmspace.h>", "#define CASE_BYTE(i) pgm_read_byte(&case_bytes[i])",
                   "#define CASE_STORAGE PROGMEM"]
    else:
        storage = ["#define CASE_BYTE(i) (case_bytes[i])", "#define CASE_STORAGE"]
    return "\n".join([
        "/* Made by tests/protocol/decoder_cases.py from tests/protocol/cases.txt. */",
        "#ifndef DECODER_CASES_H",
        "#define DECODER_CASES_H",
        "",
        "#include <kinemora/motion_datagram.h>",
        *storage,
        "",
        "/* line: of cases.txt; first: where its bytes start in case_bytes. */",
        "struct decoder_case {",
        "    unsigned line;",
        "    kinemora_kind kind;",
        "    size_t length;",
        "    size_t first;",
        "};",
        "",
        f"#define DECODER_CASE_COUNT {len(cases)}",
        "static const struct decoder_case decoder_cases[DECODER_CASE_COUNT] = {",
        *table,
        "};",
        "",
        f"static const unsigned char case_bytes[{len(blob)}] CASE_STORAGE = {{",
        *("    " + row for row in rows),
        "};",
        "",
        "#endif",
        "",
    ])


def write_header(output, cases_path=CASES, flash=False):
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write(c_header(read_cases(cases_path), flash))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("output", help="the C header to write")
    parser.add_argument("--cases", default=CASES, help="the cases file (default: cases.txt beside this script)")
    parser.add_argument("--flash", action="store_true", help="keep the bytes in an AVR's program memory")
    args = parser.parse_args()
    try:
        write_header(args.output, args.cases, args.flash)
    except (OSError, ValueError) as error:
        sys.exit(f"decoder_cases.py: {error}")


if __name__ == "__main__":
    main()
