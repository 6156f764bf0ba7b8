"""Decodes Kinemora's motion datagrams (docs/protocol.md) in plain Python.

Copy this file next to your own program; it needs only the standard library
and runs on Python 3.8 or later (a Raspberry Pi's system Python will do).

    import kinemora_datagram
    d = kinemora_datagram.decode(data)   # data: the bytes of one datagram
    if d is not None and d["kind"] == "K2" and math.isfinite(d["pitch"]):
        move_to(d["pitch"])

decode() returns None for anything that is not a K01 or K2 datagram, and
otherwise a dict: "kind" ("K01" or "K2"), "time_us" (an int) and every field
under the name kinemora-listen prints, in wire order. The fields are Python
floats holding the 32-bit values exactly as sent, NaN and infinities included:
check them with math.isfinite() before they reach a motor.
"""

import struct

PORT = 50010
K01_SIZE = 44
K2_SIZE = 55

# Field names in wire order. K01: velocity first, bank before pitch.
K01_FIELDS = (
    "velocity_x", "velocity_y", "velocity_z",
    "bank", "pitch", "rate_of_turn",
    "angular_velocity_x", "angular_velocity_y", "angular_velocity_z",
)
# K2: each triple in the order Z, X, Y; angles in radians.
K2_FIELDS = (
    "velocity_body_z", "velocity_body_x", "velocity_body_y",
    "acceleration_body_z", "acceleration_body_x", "acceleration_body_y",
    "bank", "pitch", "heading",
    "rotation_velocity_body_z", "rotation_velocity_body_x", "rotation_velocity_body_y",
)

# "<" is little-endian with no padding: I is an unsigned 32-bit int, f a
# 32-bit float. K01 is the lead-in "K01," then time and nine floats at 8;
# K2 is "K2," then time at 3 and twelve floats at 7.
_K01 = struct.Struct("<4sI9f")
_K2 = struct.Struct("<3sI12f")


def decode(data):
    """Decodes one datagram (bytes, bytearray or memoryview).

    Returns None unless both the length and the lead-in match: 44 bytes
    starting with b"K01," or 55 bytes starting with b"K2,".
    """
    if not isinstance(data, (bytes, bytearray, memoryview)):
        return None
    data = bytes(data)
    if len(data) == K01_SIZE and data[:4] == b"K01,":
        kind, names, layout = "K01", K01_FIELDS, _K01
    elif len(data) == K2_SIZE and data[:3] == b"K2,":
        kind, names, layout = "K2", K2_FIELDS, _K2
    else:
        return None
    values = layout.unpack(data)
    decoded = {"kind": kind, "time_us": values[1]}
    decoded.update(zip(names, values[2:]))
    return decoded
