"""The import and export tables of the project's binaries: which DLLs a
Windows binary imports and the functions it takes from each, read with
mingw-w64's objdump, and the names a plug-in exports (from a Windows DLL's
export table, or a native shared object's dynamic symbols)."""

import re
import struct
import subprocess

# The DLLs every Windows PC has; the C and C++ runtimes are linked statically.
SYSTEM_DLLS = {"kernel32.dll", "ws2_32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll",
               "gdiplus.dll", "winmm.dll", "advapi32.dll", "iphlpapi.dll", "shell32.dll", "version.dll"}


def imports(path):
    """{DLL name in lower case: [imported function names]} of a Windows binary."""
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                          check=True).stdout
    tables = {}
    for block in re.finditer(r"DLL Name: (\S+)\n(.*?)(?:\n\n|\Z)", dump, re.S):
        tables[block.group(1).lower()] = re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\S+)$", block.group(2), re.M)
    return tables


def symbol_count(path):
    """The entries of a Windows binary's COFF symbol table, from its file
    header (NumberOfSymbols, 12 bytes after the PE signature): 0 once stripped."""
    with open(path, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 4 + 12)[0]


def exports(path):
    """The names a library exports: from a Windows DLL's export table, or the
    defined dynamic symbols of a native shared object."""
    if path.endswith(".dll"):
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", path], capture_output=True, text=True,
                              check=True).stdout
        table = dump.split("[Ordinal/Name Pointer] Table")[1].split("\n\n")[0]
        return sorted(re.findall(r"\]\s+(\S+)", table))
    dump = subprocess.run(["nm", "-D", "--defined-only", path], capture_output=True, text=True, check=True).stdout
    return sorted(line.split()[-1] for line in dump.splitlines() if " T " in line)
