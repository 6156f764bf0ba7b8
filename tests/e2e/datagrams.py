"""The datagrams as the tests build and read them: K01 ("K01," then 40 bytes)
and K2 ("K2," then 52 bytes), each a little-endian 32-bit time field in
microseconds and 9 or 12 little-endian 32-bit floats; and Python's floats
narrowed to 32 bits, as the datagrams carry them."""

import math
import struct

# The fields' names, as kinemora-listen prints them, in wire order.
K01_FIELDS = ["velocity_x", "velocity_y", "velocity_z", "bank", "pitch", "rate_of_turn",
              "angular_velocity_x", "angular_velocity_y", "angular_velocity_z"]
K2_FIELDS = ["velocity_body_z", "velocity_body_x", "velocity_body_y",
             "acceleration_body_z", "acceleration_body_x", "acceleration_body_y", "bank", "pitch", "heading",
             "rotation_velocity_body_z", "rotation_velocity_body_x", "rotation_velocity_body_y"]


def k01(time_us, floats):
    return b"K01," + struct.pack("<I9f", time_us, *floats)


def k2(time_us, floats):
    return b"K2," + struct.pack("<I12f", time_us, *floats)


def floats_of(data, bits=False):
    """The time field and the floats of a K01 or K2 datagram; with bits, each
    float's 32 bits as an integer."""
    count = 9 if len(data) == 44 else 12
    fields = struct.unpack_from(f"<I{count}{'I' if bits else 'f'}", data, len(data) - 4 - 4 * count)
    return fields[0], list(fields[1:])


def f32(value):
    """value narrowed to a 32-bit float, as C does: too large becomes an infinity."""
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


def f32_bits(value):
    """The bits of a Python float that holds a 32-bit float exactly."""
    return struct.unpack("<I", struct.pack("<f", value))[0]
