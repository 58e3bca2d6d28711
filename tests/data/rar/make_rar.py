#!/usr/bin/env python3
"""Writes the RAR fixtures from the documented RAR 4 and RAR 5 header layouts.

No RAR packer is available, so members are stored (not compressed) and written by hand; the
archives are real ones (bsdtar -tvf lists them and extracts the stored members). Members that
claim sizes larger than their data use a compression method and are only ever listed.
Run: python3 make_rar.py (in this folder)."""
import struct
import zlib

DOS_2018 = ((2018 - 1980) << 25) | (6 << 21) | (15 << 16) | (12 << 11) | (34 << 5) | (56 // 2)
UNIX_2021 = 1617278400          # 2021-04-01 12:00:00 UTC
FILETIME_2022 = (1656676800 + 11644473600) * 10000000 + 1234567  # 2022-07-01 12:00:00.12 UTC


# ---------------------------------------------------------------- RAR 4 ----------------------
def block4(htype, flags, body, add_size=None):
    """One RAR 4 block: CRC16, type, flags, size (+ ADD_SIZE for long blocks) and body."""
    if add_size is not None:
        flags |= 0x8000
        body = struct.pack("<I", add_size & 0xFFFFFFFF) + body
    head = struct.pack("<BHH", htype, flags, 7 + len(body)) + body
    return struct.pack("<H", zlib.crc32(head) & 0xFFFF) + head


def encode_unicode_name4(name):
    """Single-byte name, NUL and the RAR 4 Unicode encoding of name."""
    units = name.encode("utf-16-le")
    chars = [units[i] | units[i + 1] << 8 for i in range(0, len(units), 2)]
    high = next((c >> 8 for c in chars if c >= 0x100), 0)
    out = bytearray([high])
    for i in range(0, len(chars), 4):
        group = chars[i:i + 4]
        flags, data = 0, bytearray()
        for k, c in enumerate(group):
            if c < 0x100:
                mode, data = 0, data + bytes([c])
            elif c >> 8 == high:
                mode, data = 1, data + bytes([c & 0xFF])
            else:
                mode, data = 2, data + struct.pack("<H", c)
            flags |= mode << (6 - 2 * k)
        out += bytes([flags]) + data
    single = name.encode("latin-1", "replace")
    return single + b"\0" + bytes(out)


def file4(name, data, attr, host=2, flags=0, unp_size=None, method=0x30, dos_time=DOS_2018,
          htype=0x74):
    raw_name = name if isinstance(name, bytes) else name.encode("ascii")
    unp = len(data) if unp_size is None else unp_size
    large = unp > 0xFFFFFFFF
    if large:
        flags |= 0x0100
    body = struct.pack("<IBIIBBHI", unp & 0xFFFFFFFF, host, zlib.crc32(data), dos_time, 29,
                       method, len(raw_name), attr)
    if large:
        body += struct.pack("<II", 0, unp >> 32)
    body += raw_name
    return block4(htype, flags, body, add_size=len(data)) + data


MARK4 = b"Rar!\x1a\x07\x00"
MAIN4 = block4(0x73, 0, struct.pack("<HI", 0, 0))
END4 = block4(0x7B, 0, b"")


def rar4():
    cmt = b"comment data"
    members = [
        file4("docs", b"", 0x10, flags=0x00E0),
        file4("docs\\readme.txt", b"Read me first.\r\n", 0x21),
        block4(0x7A, 0, struct.pack("<IBIIBBHI", len(cmt), 2, zlib.crc32(cmt), DOS_2018, 29,
                                    0x30, 3, 0) + b"CMT", add_size=len(cmt)) + cmt,
        file4(encode_unicode_name4("Gr\u00fc\u00dfe \u0416\u0416.txt"), b"unicode", 0x20,
              flags=0x0200),
        file4("unix/locked.sh", b"#!/bin/sh\n", 0o100555, host=3),
        file4("unix/dir", b"", 0o040755, host=3, flags=0x00E0),
        file4("secret.bin", b"\x00" * 16, 0x20, flags=0x0004),  # data encrypted, header clear
        file4("..\\..\\escape.txt", b"no", 0x20),
    ]
    return MARK4 + MAIN4 + b"".join(members) + END4


def rar4_large():
    return MARK4 + MAIN4 + file4("huge.iso", b"\x00" * 8, 0x20, unp_size=5 << 30,
                                 method=0x33) + END4


def rar4_encrypted_headers():
    main = block4(0x73, 0x0080, struct.pack("<HI", 0, 0))
    return MARK4 + main + bytes(range(64))


# ---------------------------------------------------------------- RAR 5 ----------------------
def vint(n):
    out = bytearray()
    while True:
        b = n & 0x7F
        n >>= 7
        out.append(b | (0x80 if n else 0))
        if not n:
            return bytes(out)


def block5(htype, hflags, fields, extra=b"", data=None):
    """One RAR 5 block; file and service blocks always carry a data area (maybe empty)."""
    if extra:
        hflags |= 0x0001
    if data is not None:
        hflags |= 0x0002
    body = vint(htype) + vint(hflags)
    if extra:
        body += vint(len(extra))
    if data is not None:
        body += vint(len(data))
    body += fields + extra
    sized = vint(len(body)) + body
    return struct.pack("<I", zlib.crc32(sized)) + sized + (data or b"")


def file5(name, data, attr, host=0, directory=False, mtime=UNIX_2021, extra=b"",
          unp_size=None, method=0, htype=2):
    fflags = 0x0004 | (0x0001 if directory else 0) | (0x0002 if mtime is not None else 0)
    unp = len(data) if unp_size is None else unp_size
    fields = vint(fflags) + vint(unp) + vint(attr)
    if mtime is not None:
        fields += struct.pack("<I", mtime)
    fields += struct.pack("<I", zlib.crc32(data))
    raw = name.encode("utf-8")
    fields += vint(method << 7) + vint(host) + vint(len(raw)) + raw
    return block5(htype, 0, fields, extra, data)


def time_record(filetime):
    rec = vint(0x03) + vint(0x0002) + struct.pack("<Q", filetime)
    return vint(len(rec)) + rec


MARK5 = b"Rar!\x1a\x07\x01\x00"
MAIN5 = block5(1, 0, vint(0))
END5 = block5(5, 0, vint(0))


def rar5():
    members = [
        file5("docs", b"", 0x10, directory=True),
        file5("docs/readme.txt", b"Read me first.\n", 0x21),
        file5("CMT", b"a comment", 0, htype=3),
        file5("Gr\u00fc\u00dfe/\u0416\u0416.txt", b"unicode", 0o100444, host=1),
        file5("precise.txt", b"time", 0x20, mtime=None, extra=time_record(FILETIME_2022)),
        file5("unix/dir", b"", 0o040755, host=1, directory=True),
        file5("../escape.txt", b"no", 0x20),
    ]
    return MARK5 + MAIN5 + b"".join(members) + END5


def rar5_large():
    return MARK5 + MAIN5 + file5("huge.iso", b"\x00" * 8, 0x20, unp_size=5 << 30,
                                 method=3) + END5


def rar5_encrypted_headers():
    enc = block5(4, 0, vint(0) + vint(0) + bytes([15]) + bytes(16))
    return MARK5 + enc + bytes(range(64))


FIXTURES = {
    "rar4.rar": rar4,
    "rar4-large.rar": rar4_large,
    "rar4-encrypted-headers.rar": rar4_encrypted_headers,
    "rar5.rar": rar5,
    "rar5-large.rar": rar5_large,
    "rar5-encrypted-headers.rar": rar5_encrypted_headers,
}

for fixture_name, make in FIXTURES.items():
    with open(fixture_name, "wb") as f:
        f.write(make())
