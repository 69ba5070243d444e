#!/usr/bin/env python3
"""Writes the PE image checksum into an executable, in place, as MSVC's
linker does with /RELEASE; lld leaves it 0. With it set, removing an
Authenticode signature gives back the unsigned file byte for byte.

    pe_checksum.py EXE
"""
import struct
import sys


def checksum(data, field):
    total = 0
    padded = data + b"\0" * (len(data) % 2)
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    # The field itself counts as zero.
    for at in (field, field + 2):
        word = struct.unpack_from("<H", data, at)[0]
        total -= word
        if total < 0:
            total += 0xFFFF
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main(path):
    with open(path, "r+b") as image:
        data = image.read()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            sys.exit("%s: not a PE image" % path)
        field = pe + 24 + 64
        image.seek(field)
        image.write(struct.pack("<I", checksum(data, field)))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
