#!/usr/bin/env python3
"""Zip fixtures of the central-directory walk: walk.zip (Python's zipfile, with extended
timestamps, a UTF-8 name and a Unicode path block) and damaged copies of it and of handmade.zip.

    make_walk_zips.py                 writes the fixtures into the current folder (see make.sh)
    make_walk_zips.py --many PATH N   writes an archive of N stored members to PATH (zip64 end
                                      records beyond 65,535 members); the tests call this
"""
import struct
import sys
import zipfile
import zlib

WHEN = (2021, 6, 7, 8, 9, 10)


def ut(mtime):
    return struct.pack("<HHBI", 0x5455, 5, 1, mtime)


def walk_zip():
    with zipfile.ZipFile("walk.zip", "w", zipfile.ZIP_STORED) as z:
        def add(name, data, extra=b"", mode=0o100644, when=WHEN):
            info = zipfile.ZipInfo(name, when)
            info.create_system = 3
            info.external_attr = mode << 16
            info.extra = extra
            z.writestr(info, data)
        add("utf8/Gr\u00fc\u00dfe.txt", b"hello\n", ut(1600000000))  # 2020-09-13 12:26:40 UTC
        add("cafX.txt", b"cp437\n", b"")  # renamed below to b"caf\x82.txt" with an "up" block
        add("plain/dos-time.txt", b"dos\n", when=(1999, 12, 31, 23, 59, 58))
        add("empty/", b"", mode=0o040755)
        add("ro.txt", b"read only\n", ut(1262304000), mode=0o100444)
    data = bytearray(open("walk.zip", "rb").read())
    # A name in code page 437 with a Unicode path block: both headers get the raw name, the
    # central one the block (its CRC is that of the raw name).
    raw = b"caf\x82.txt"
    up = struct.pack("<HHBI", 0x7075, 5 + len("caf\u00e9.txt".encode()), 1, zlib.crc32(raw))
    up += "caf\u00e9.txt".encode()
    data = data.replace(b"cafX.txt", raw)
    at = find_central(data, raw)
    name_len, extra_len = struct.unpack_from("<HH", data, at + 28)
    assert extra_len == 0
    struct.pack_into("<H", data, at + 30, len(up))
    data[at + 46 + name_len:at + 46 + name_len] = up
    fix_end(data, len(up))
    open("walk.zip", "wb").write(data)


def find_central(data, name):
    at = data.find(b"PK\x01\x02")
    while at >= 0:
        n = struct.unpack_from("<H", data, at + 28)[0]
        if data[at + 46:at + 46 + n] == name:
            return at
        at = data.find(b"PK\x01\x02", at + 4)
    raise ValueError(name)


def end_at(data):
    return data.rfind(b"PK\x05\x06")


def fix_end(data, grown):
    e = end_at(data)
    size = struct.unpack_from("<I", data, e + 12)[0]
    struct.pack_into("<I", data, e + 12, size + grown)


def damaged(base, name, change):
    data = bytearray(open(base, "rb").read())
    data = change(data) or data
    open(name, "wb").write(data)


def set_end(offset, fmt, value):
    def change(data):
        struct.pack_into(fmt, data, end_at(data) + offset, *value)
    return change


def cut_central(data):
    cd = struct.unpack_from("<I", data, end_at(data) + 16)[0]
    return data[:cd + 60]


def overrun_name(data):
    at = find_central(data, "plain/dos-time.txt".encode())
    struct.pack_into("<H", data, at + 28, 18 + 10)  # the name runs into the next header


def zip64_claims(data):
    e = end_at(data)
    count, _, size, offset = struct.unpack_from("<HHII", data, e + 8)
    record = struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, 1 << 40, 1 << 40, size,
                         offset)
    locator = struct.pack("<IIQI", 0x07064B50, 0, e, 1)
    return data[:e] + record + locator + data[e:]


def local_past_end(data):
    at = find_central(data, b"local-ut.txt")
    struct.pack_into("<I", data, at + 42, 0x7FFFFFF0)


def folders_zip():
    """Members of three folders, interleaved, with two folder members after their files."""
    with zipfile.ZipFile("folders.zip", "w", zipfile.ZIP_STORED) as z:
        for name, size in (("a/1.txt", 10), ("b/2.txt", 20), ("a/3.txt", 30), ("a/s/4.txt", 40),
                           ("top.txt", 50), ("b/", 0), ("a/s/", 0), ("b/5.txt", 60)):
            info = zipfile.ZipInfo(name, WHEN)
            info.create_system = 3
            info.external_attr = (0o040755 if name.endswith("/") else 0o100644) << 16
            z.writestr(info, b"x" * size)


def many(path, count):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
        for i in range(count):
            when = (1990 + i % 30, 1 + i % 12, 1 + i % 28, i % 24, (i * 7) % 60, (i * 2) % 60)
            info = zipfile.ZipInfo(f"d{i % 7}/m{i:06d}.txt", when)
            info.create_system = 3
            info.external_attr = (0o100444 if i % 5 == 0 else 0o100644) << 16
            z.writestr(info, b"%d" % i)


if len(sys.argv) == 4 and sys.argv[1] == "--many":
    many(sys.argv[2], int(sys.argv[3]))
    sys.exit(0)
walk_zip()
folders_zip()
damaged("walk.zip", "walk-cut-central.zip", cut_central)
damaged("walk.zip", "walk-end-cut.zip", lambda data: data[:-1])  # half the comment length
damaged("walk.zip", "walk-count-high.zip", set_end(8, "<HH", (200, 200)))
damaged("walk.zip", "walk-count-low.zip", set_end(8, "<HH", (2, 2)))
damaged("walk.zip", "walk-count-zero.zip", set_end(8, "<HH", (0, 0)))
damaged("walk.zip", "walk-offset-past-end.zip", set_end(16, "<I", (0x7FFFFFF0,)))
damaged("walk.zip", "walk-size-past-end.zip", set_end(12, "<I", (0xFFFFFF00,)))
damaged("walk.zip", "walk-name-overrun.zip", overrun_name)
damaged("walk.zip", "walk-zip64-claims.zip", zip64_claims)
damaged("handmade.zip", "handmade-local-past-end.zip", local_past_end)
