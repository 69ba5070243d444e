#!/usr/bin/env python3
"""Writes the PE image checksum into an executable, in place, as MSVC's
linker does with /RELEASE; lld leaves it 0. With it set, removing an
Authenticode signature gives back the unsigned file byte for byte.

    pe_checksum.py EXE
"""
import sys

import pefile


def main(path):
    image = pefile.PE(path, fast_load=True)
    value = image.generate_checksum()
    field = image.OPTIONAL_HEADER.get_field_absolute_offset("CheckSum")
    image.close()
    # Only the four bytes of the field change; pefile's own write() would
    # rebuild the file from what it parsed.
    with open(path, "r+b") as out:
        out.seek(field)
        out.write(value.to_bytes(4, "little"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
