#!/usr/bin/python3
"""Test-side catalog generator, sharing no code with the product: writes an
unsigned driver catalog (PKCS#7 SignedData holding a certificate trust
list) with one member per file, for osslsigncode to sign.

    make_catalog.py OUT.cat [--sha1] [--osattr 2:6.1,2:10.0] FILE...

A PE image is listed by its Authenticode image hash, any other file by the
hash of its bytes. Also importable: authenticode(), pe_bytes().
"""
import argparse
import datetime
import hashlib
import os
import struct
import sys

from asn1crypto import algos, core

OID_SIGNED_DATA = "1.2.840.113549.1.7.2"
OID_CTL = "1.3.6.1.4.1.311.10.1"
OID_CATALOG_LIST = "1.3.6.1.4.1.311.12.1.1"
OID_CATALOG_MEMBER = "1.3.6.1.4.1.311.12.1.2"
OID_INDIRECT_DATA = "1.3.6.1.4.1.311.2.1.4"
OID_PE_IMAGE = "1.3.6.1.4.1.311.2.1.15"
OID_FLAT = "1.3.6.1.4.1.311.2.1.25"
OID_NAME_VALUE = "1.3.6.1.4.1.311.12.2.1"
OID_MEMBER_INFO = "1.3.6.1.4.1.311.12.2.2"


def tlv(tag, content):
    n = len(content)
    if n < 0x80:
        length = bytes([n])
    else:
        body = n.to_bytes((n.bit_length() + 7) // 8, "big")
        length = bytes([0x80 | len(body)]) + body
    return bytes([tag]) + length + content


def seq(*parts):
    return tlv(0x30, b"".join(parts))


def oid(text):
    return core.ObjectIdentifier(text).dump()


def pe_layout(data):
    """(checksum offset, certificate entry offset, table offset, table size), or None."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if pe + 24 > len(data) or data[pe:pe + 4] != b"PE\0\0":
        return None
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = {0x20B: 112, 0x10B: 96}.get(magic)
    if dirs is None:
        return None
    entry = opt + dirs + 4 * 8
    table, size = struct.unpack_from("<II", data, entry)
    return opt + 64, entry, table, size


def authenticode(data, name="sha256"):
    layout = pe_layout(data)
    checksum, entry, table, size = layout
    h = hashlib.new(name)
    h.update(data[:checksum])
    h.update(data[checksum + 4:entry])
    end = table if size else len(data)
    h.update(data[entry + 8:end])
    if not size and len(data) % 8:
        h.update(b"\0" * (8 - len(data) % 8))
    return h.digest()


def pe_bytes(code=b"\xc3", overlay=b""):
    """A minimal PE32+ DLL: one section of 0x200 bytes, then `overlay`."""
    dos = bytearray(0x40)
    dos[:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 0x40)
    coff = struct.pack("<HHIIIHH", 0x8664, 1, 0, 0, 0, 240, 0x2022)
    opt = bytearray(240)
    struct.pack_into("<HBBIIIII", opt, 0, 0x20B, 14, 0, 0x200, 0, 0, 0x1000, 0x1000)
    struct.pack_into("<QII", opt, 24, 0x180000000, 0x1000, 0x200)
    struct.pack_into("<HHHHHH", opt, 40, 6, 0, 0, 0, 6, 0)
    struct.pack_into("<III", opt, 56, 0x2000, 0x200, 0)
    struct.pack_into("<HH", opt, 68, 3, 0x160)
    struct.pack_into("<QQQQII", opt, 72, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    section = struct.pack("<8sIIIIIIHHI", b".text", 0x200, 0x1000, 0x200, 0x200, 0, 0, 0, 0, 0x60000020)
    header = bytes(dos) + b"PE\0\0" + coff + bytes(opt) + section
    header += b"\0" * (0x200 - len(header))
    body = (code + b"\0" * 0x200)[:0x200]
    return header + body + overlay


def name_value(name, value, flags=0x10010001):
    return seq(core.BMPString(name).dump(), core.Integer(flags).dump(),
               core.OctetString((value + "\0").encode("utf-16-le")).dump())


def member(path, hash_name):
    data = open(path, "rb").read()
    pe = pe_layout(data) is not None
    digest = authenticode(data, hash_name) if pe else hashlib.new(hash_name, data).digest()
    algorithm = algos.DigestAlgorithm({"algorithm": hash_name}).dump()
    # SpcPeImageData {flags, file: an empty link}, or for flat files the link alone.
    link = tlv(0xA2, tlv(0x80, b""))
    value = seq(tlv(0x03, b"\0"), tlv(0xA0, link)) if pe else link
    indirect = seq(seq(oid(OID_PE_IMAGE if pe else OID_FLAT), value),
                   seq(algorithm, core.OctetString(digest).dump()))
    attributes = [
        seq(oid(OID_NAME_VALUE), tlv(0x31, name_value("File", os.path.basename(path)))),
        seq(oid(OID_MEMBER_INFO), tlv(0x31, seq(core.BMPString("{C689AAB8-8E78-11D0-8C47-00C04FC295EE}").dump(),
                                                core.Integer(512).dump()))),
        seq(oid(OID_INDIRECT_DATA), tlv(0x31, indirect)),
    ]
    tag = digest.hex().upper().encode("utf-16-le") + b"\0\0"
    return seq(core.OctetString(tag).dump(), tlv(0x31, b"".join(attributes)))


def catalog(paths, hash_name="sha256", osattr=None):
    extensions = b""
    if osattr:
        extensions = tlv(0xA0, seq(seq(oid(OID_NAME_VALUE), core.OctetString(name_value("OSAttr", osattr)).dump())))
    ctl = seq(seq(oid(OID_CATALOG_LIST)),
              core.OctetString(hashlib.md5(b"".join(p.encode() for p in paths)).digest()).dump(),
              core.UTCTime(datetime.datetime(2026, 12, 1, tzinfo=datetime.timezone.utc)).dump(),
              seq(oid(OID_CATALOG_MEMBER), tlv(0x05, b"")),
              seq(*[member(p, hash_name) for p in paths]),
              extensions)
    digest_algorithm = algos.DigestAlgorithm({"algorithm": hash_name}).dump()
    signed = seq(core.Integer(1).dump(), tlv(0x31, digest_algorithm),
                 seq(oid(OID_CTL), tlv(0xA0, ctl)), tlv(0x31, b""))
    return seq(oid(OID_SIGNED_DATA), tlv(0xA0, signed))


def main_args(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("files", nargs="*")
    parser.add_argument("--sha1", action="store_true")
    parser.add_argument("--osattr")
    args = parser.parse_args(argv)
    with open(args.out, "wb") as f:
        f.write(catalog(args.files, "sha1" if args.sha1 else "sha256", args.osattr))


if __name__ == "__main__":
    sys.exit(main_args(sys.argv[1:]))
