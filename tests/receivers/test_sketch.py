"""The Arduino sketch examples/arduino/kinemora_pitch_servo, built for an
Arduino Uno (ATmega328P) with Debian's Arduino core for AVR and run under
simavr. Debian packages neither the Ethernet nor the Servo library, so the
sketch gets test stand-ins (tests/receivers/arduino): the UDP one plays a
script of datagrams (sketch_scenario.cpp), the servo one logs each pulse
length with its time on the serial console. The test reads that log.

    test_sketch.py --include DIR --work-dir DIR
"""

import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SKETCH = os.path.join(ROOT, "examples", "arduino", "kinemora_pitch_servo", "kinemora_pitch_servo.ino")
STAND_INS = os.path.join(HERE, "arduino")
ARDUINO_AVR = "/usr/share/arduino/hardware/arduino/avr"
CORE = os.path.join(ARDUINO_AVR, "cores", "arduino")
VARIANT = os.path.join(ARDUINO_AVR, "variants", "standard")

# The Uno's board settings and the compiler flags of the core's platform.txt.
MCU = ["-mmcu=atmega328p", "-DF_CPU=16000000L", "-DARDUINO=10819", "-DARDUINO_AVR_UNO", "-DARDUINO_ARCH_AVR"]
C_FLAGS = ["-c", "-g", "-Os", "-std=gnu11", "-ffunction-sections", "-fdata-sections", "-flto", "-fno-fat-lto-objects"]
CPP_FLAGS = ["-c", "-g", "-Os", "-std=gnu++11", "-fpermissive", "-fno-exceptions", "-ffunction-sections",
             "-fdata-sections", "-fno-threadsafe-statics", "-Wno-error=narrowing", "-flto"]
# Debian 12's core (1.8.7) uses DECIMAL_DIG in WString.cpp, which Debian's
# avr-gcc 5.4 defines for C only; newer compilers define it for C++11 as this does.
CORE_CPP_FLAGS = ["-DDECIMAL_DIG=__DECIMAL_DIG__"]
S_FLAGS = ["-c", "-g", "-x", "assembler-with-cpp", "-flto"]
LINK_FLAGS = ["-Os", "-g", "-flto", "-fuse-linker-plugin", "-Wl,--gc-sections", "-mmcu=atmega328p"]
UNO_FLASH = 32256  # bytes left beside the bootloader
UNO_RAM = 2048

SERVO_MIN, SERVO_MAX, SERVO_REST = 1000, 2000, 1500
MAX_STEP_US, STEP_MS = 20, 10

options = argparse.Namespace()


def run(cmd, what, timeout=120):
    result = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout)
    if result.returncode != 0:
        raise AssertionError(f"{what} failed:\n{' '.join(cmd)}\n{result.stdout}{result.stderr}")
    return result


def require_tools():
    for tool, package in (("avr-gcc", "gcc-avr"), ("avr-g++", "gcc-avr"), ("avr-gcc-ar", "gcc-avr"),
                          ("avr-size", "binutils-avr"), ("simavr", "simavr")):
        if shutil.which(tool) is None:
            sys.exit(f"FAIL: {tool} not found: install the Debian package {package} (scripts/setup.sh installs it)")
    if not os.path.exists("/usr/lib/avr/include/avr/io.h"):
        sys.exit("FAIL: avr/io.h is missing: install the Debian package avr-libc (scripts/setup.sh installs it)")
    if not os.path.exists(os.path.join(CORE, "Arduino.h")):
        sys.exit(f"FAIL: {CORE}/Arduino.h is missing: install the Debian package arduino-core-avr "
                 f"(scripts/setup.sh installs it)")


def build_core(work):
    """The Arduino core as a library, built once per work folder and flag set."""
    sources = sorted(f for f in os.listdir(CORE) if f.endswith((".c", ".cpp", ".S")))
    key = hashlib.sha1(repr((sources, MCU, C_FLAGS, CPP_FLAGS, CORE_CPP_FLAGS, S_FLAGS)).encode()).hexdigest()[:12]
    archive = os.path.join(work, f"core-{key}.a")
    if os.path.exists(archive):
        return archive
    includes = ["-I", CORE, "-I", VARIANT]
    objects = []
    for name in sources:
        obj = os.path.join(work, "core", name + ".o")
        os.makedirs(os.path.dirname(obj), exist_ok=True)
        source = os.path.join(CORE, name)
        if name.endswith(".c"):
            cmd = ["avr-gcc", *C_FLAGS, "-w", *MCU, *includes, source, "-o", obj]
        elif name.endswith(".cpp"):
            cmd = ["avr-g++", *CPP_FLAGS, *CORE_CPP_FLAGS, "-w", *MCU, *includes, source, "-o", obj]
        else:
            cmd = ["avr-gcc", *S_FLAGS, *MCU, *includes, source, "-o", obj]
        run(cmd, f"compiling the Arduino core's {name}")
        objects.append(obj)
    run(["avr-gcc-ar", "rcs", archive + ".tmp", *objects], "archiving the Arduino core")
    os.replace(archive + ".tmp", archive)
    return archive


def build_sketch(work):
    """The sketch as the Arduino IDE builds it (a C++ file that includes
    Arduino.h first), with our warnings on; the core's headers count as
    system headers, so only the sketch's own code is held to them."""
    includes = ["-I", CORE, "-I", VARIANT, "-I", STAND_INS,
                "-I", os.path.join(options.include, "kinemora")]
    warnings = ["-Wall", "-Wextra", "-Werror"]
    sketch_obj = os.path.join(work, "sketch.o")
    run(["avr-g++", *CPP_FLAGS, *warnings, *MCU, *includes, "-x", "c++", "-include", "Arduino.h", SKETCH,
         "-o", sketch_obj], "compiling the sketch")
    scenario_obj = os.path.join(work, "sketch_scenario.o")
    run(["avr-g++", *CPP_FLAGS, *warnings, *MCU, *includes, os.path.join(STAND_INS, "sketch_scenario.cpp"),
         "-o", scenario_obj], "compiling the stand-ins' scenario")
    elf = os.path.join(work, "kinemora_pitch_servo.elf")
    run(["avr-gcc", *LINK_FLAGS, "-o", elf, sketch_obj, scenario_obj, build_core(work), "-lm"], "linking the sketch")
    return elf


def sizes(elf):
    """Flash and RAM that the program takes, in bytes."""
    out = run(["avr-size", "-A", elf], "avr-size").stdout
    section = {m.group(1): int(m.group(2)) for m in re.finditer(r"^\.(\w+)\s+(\d+)", out, re.M)}
    return section.get("text", 0) + section.get("data", 0), section.get("data", 0) + section.get("bss", 0)


class Log:
    """The serial console of one run: servo writes as (ms, us), and the other lines."""

    def __init__(self, text):
        self.lines = [line.rstrip(".") for line in re.sub(r"\x1b\[[0-9;]*m", "", text).splitlines()]
        self.servo = [(int(m[2]), int(m[1])) for m in (re.match(r"servo=(-?\d+) t=(\d+)", l) for l in self.lines) if m]

    def at(self, ms):
        """The pulse length in force at a time."""
        value = None
        for t, us in self.servo:
            if t <= ms:
                value = us
        return value

    def writes_between(self, start_ms, end_ms):
        return [(t, us) for t, us in self.servo if start_ms < t <= end_ms]

    def count(self, text):
        return sum(1 for line in self.lines if text in line)


class SketchTest(unittest.TestCase):
    log = None

    @classmethod
    def setUpClass(cls):
        work = options.work_dir
        os.makedirs(work, exist_ok=True)
        elf = build_sketch(work)
        cls.flash, cls.ram = sizes(elf)
        try:
            result = subprocess.run(["simavr", "-m", "atmega328p", "-f", "16000000", elf],
                                    capture_output=True, text=True, timeout=60)
        except subprocess.TimeoutExpired:
            raise AssertionError("simavr did not finish within 60 s: the scenario never ended")
        cls.log = Log(result.stdout + result.stderr)
        print("\n".join(cls.log.lines), file=sys.stderr)

    def test_fits_an_uno(self):
        self.assertLessEqual(self.flash, UNO_FLASH)
        # Leave a quarter of the RAM for the stack, as the Arduino IDE advises.
        self.assertLessEqual(self.ram, UNO_RAM * 3 // 4, f"{self.ram} bytes of RAM")

    def test_starts_at_rest_on_the_kinemora_port(self):
        self.assertIn("udp.begin 50010", self.log.lines)
        self.assertIn("listening on UDP port 50010", self.log.lines)
        first_t, first_us = self.log.servo[0]
        self.assertEqual(first_us, SERVO_REST)
        self.assertLess(first_t, 100, "the servo must be set before the first datagram")
        self.assertIn("scenario done", self.log.lines, "the run did not reach the end of the scenario")

    def test_servo_stays_in_range_and_moves_in_small_steps(self):
        previous_t, previous_us = self.log.servo[0]
        for t, us in self.log.servo[1:]:
            self.assertTrue(SERVO_MIN <= us <= SERVO_MAX, (t, us))
            self.assertLessEqual(abs(us - previous_us), MAX_STEP_US, (t, us))
            self.assertGreaterEqual(t - previous_t, STEP_MS, (t, us))
            previous_t, previous_us = t, us

    def test_follows_the_pitch_of_both_kinds(self):
        self.assertEqual(self.log.at(590), 1250)  # K01 example: pitch -0.125 rad
        self.assertEqual(self.log.at(990), 1325)  # K2 example: pitch -0.0872664601 rad

    def test_values_that_are_not_finite_are_ignored(self):
        # NaN from 600 ms, +infinity from 700 ms: the servo holds until the K2 at 760 ms.
        self.assertEqual(self.log.writes_between(590, 760), [])
        self.assertEqual(self.log.count("pitch is not finite: ignored"), 8)

    def test_datagrams_with_a_wrong_length_or_lead_in_are_ignored(self):
        self.assertEqual(self.log.writes_between(1000, 1100), [])

    def test_clamps_to_the_servo_range(self):
        self.assertEqual(self.log.at(1490), SERVO_MAX)  # pitch 20 rad
        self.assertEqual(self.log.at(2090), SERVO_MIN)  # pitch -1e30 rad
        self.assertEqual(max(us for _, us in self.log.servo), SERVO_MAX)
        self.assertEqual(min(us for _, us in self.log.servo), SERVO_MIN)

    def test_eases_to_rest_half_a_second_after_the_last_datagram(self):
        # The last datagram arrives at 2080 ms.
        self.assertEqual(self.log.writes_between(2090, 2579), [])
        easing = self.log.writes_between(2579, 3000)
        self.assertTrue(easing, "the servo did not move back after the data stopped")
        self.assertLessEqual(easing[0][0], 2600)
        values = [us for _, us in easing]
        self.assertEqual(values, sorted(values), "easing to rest must not turn back")
        self.assertEqual(values[-1], SERVO_REST)
        self.assertEqual(self.log.count("no data for 0.5 s: easing to rest"), 1)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--include", required=True, help="the folder that holds kinemora/motion_datagram.h")
    parser.add_argument("--work-dir", required=True, help="where the build goes")
    args, rest = parser.parse_known_args()
    options.include, options.work_dir = args.include, args.work_dir
    require_tools()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
