"""Compiles the decoder's C99 check, with the cases of cases.txt built in,
for a CPU that rigs run on and runs it there under emulation: big-endian
32-bit PowerPC and 32-bit ARM under qemu-user, and an 8-bit AVR (an
ATmega2560, with 16-bit int) under simavr. "sanitize" compiles it natively
with clang under AddressSanitizer and UndefinedBehaviorSanitizer instead.

Passes only when the program reports the host it was meant to run on and
ends with "decoder C99 check passed". simavr cannot pass on the program's
exit status, so the verdict comes from the console output for every CPU.

    cross_check.py --cpu powerpc|arm|avr|sanitize --include DIR --work-dir DIR
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

import decoder_cases

HERE = os.path.dirname(os.path.abspath(__file__))
WARNINGS = ["-std=c99", "-Wall", "-Wextra", "-pedantic", "-Werror"]

# For each CPU: the compiler, a C library header that must be there, the
# emulator, the Debian packages that bring them, and the host the check must report.
# The AVR keeps the cases in program memory.
CPUS = {
    "powerpc": {
        "cc": ["powerpc-linux-gnu-gcc", "-O2", "-static"],
        "libc_header": "/usr/powerpc-linux-gnu/include/stdio.h",
        "run": ["qemu-ppc"],
        "packages": {"powerpc-linux-gnu-gcc": "gcc-powerpc-linux-gnu",
                     "libc": "libc6-dev-powerpc-cross", "qemu-ppc": "qemu-user"},
        "host": "host: big-endian, 32-bit int",
    },
    "arm": {
        "cc": ["arm-linux-gnueabihf-gcc", "-O2", "-static"],
        "libc_header": "/usr/arm-linux-gnueabihf/include/stdio.h",
        "run": ["qemu-arm"],
        "packages": {"arm-linux-gnueabihf-gcc": "gcc-arm-linux-gnueabihf",
                     "libc": "libc6-dev-armhf-cross", "qemu-arm": "qemu-user"},
        "host": "host: little-endian, 32-bit int",
    },
    "avr": {
        # Arduino's optimisation level; the console file sends stdout to the UART.
        "cc": ["avr-gcc", "-Os", "-mmcu=atmega2560"],
        "extra_sources": [os.path.join(HERE, "avr_console.c")],
        "libc_header": "/usr/lib/avr/include/stdio.h",
        "run": ["simavr", "-m", "atmega2560", "-f", "16000000"],
        "packages": {"avr-gcc": "gcc-avr", "libc": "avr-libc", "simavr": "simavr"},
        "host": "host: little-endian, 16-bit int",
        "flash": True,
    },
    # Every case's datagram ends where its heap block ends, so a read past it stops the run.
    "sanitize": {
        "cc": ["clang", "-O1", "-g", "-fsanitize=address,undefined", "-fno-sanitize-recover=all",
               "-fno-omit-frame-pointer"],
        "libc_header": "/usr/include/stdio.h",
        "run": [],
        "packages": {"clang": "clang", "libc": "libc6-dev"},
        "host": "host: little-endian, 32-bit int",
    },
}


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def require_tools(cpu):
    spec = CPUS[cpu]
    for tool, package in spec["packages"].items():
        if tool == "libc":
            if not os.path.exists(spec["libc_header"]):
                fail(f"{spec['libc_header']} is missing: install the Debian package {package} "
                     f"(scripts/setup.sh installs it)")
        elif shutil.which(tool) is None:
            fail(f"{tool} not found: install the Debian package {package} (scripts/setup.sh installs it)")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cpu", required=True, choices=sorted(CPUS))
    parser.add_argument("--include", required=True, help="the folder that holds kinemora/motion_datagram.h")
    parser.add_argument("--work-dir", required=True, help="where the cross-compiled program goes")
    args = parser.parse_args()
    spec = CPUS[args.cpu]
    require_tools(args.cpu)

    generated = os.path.join(args.work_dir, args.cpu)
    decoder_cases.write_header(os.path.join(generated, "decoder_cases.h"), flash=spec.get("flash", False))
    program = os.path.join(args.work_dir, f"decoder_c99_check.{args.cpu}")
    compile_cmd = [*spec["cc"], *WARNINGS, "-I", args.include, "-I", generated, os.path.join(HERE, "c99_check.c"),
                   *spec.get("extra_sources", []), "-o", program]
    print(" ".join(compile_cmd), flush=True)
    built = subprocess.run(compile_cmd, capture_output=True, text=True, timeout=120)
    if built.returncode != 0:
        fail(f"the check does not compile for {args.cpu}:\n{built.stdout}{built.stderr}")

    run_cmd = [*spec["run"], program]
    print(" ".join(run_cmd), flush=True)
    try:
        ran = subprocess.run(run_cmd, capture_output=True, text=True, timeout=60)
    except subprocess.TimeoutExpired:
        fail(f"{run_cmd[0]} did not finish within 60 s")
    # simavr prints the UART's lines in colour on stderr.
    output = re.sub(r"\x1b\[[0-9;]*m", "", ran.stdout + ran.stderr)
    print(output)

    if spec["host"] not in output:
        fail(f"expected '{spec['host']}': the program did not run on the intended CPU")
    if ran.returncode != 0 or "decoder C99 check passed" not in output or "FAIL" in output:
        fail(f"the decoder check failed on {args.cpu} (exit status {ran.returncode})")
    print(f"decoder C99 check passed on {args.cpu}")


if __name__ == "__main__":
    main()
