#!/usr/bin/env python3
"""Writes the zip fixtures made with Python's zipfile and by hand (see make.sh)."""
import struct
import zipfile
import zlib

DOS_TIME = (2019, 7, 14, 15, 30, 20)


def dos_zip():
    """A zip from a DOS/Windows host (create_system 0) with attribute bytes and hostile names."""
    with zipfile.ZipFile("dos.zip", "w", zipfile.ZIP_DEFLATED) as z:
        def add(name, data, attr):
            info = zipfile.ZipInfo(name, DOS_TIME)
            info.create_system = 0
            info.external_attr = attr
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
        add("README.TXT", b"read me\r\n", 0x21)            # read-only, archive
        add("HIDDEN.SYS", b"x" * 100, 0x26)                # hidden, system, archive
        add("DIR/", b"", 0x10)                             # directory
        add("DIR/INNER.TXT", b"inner\r\n", 0x20)
        add("C:\\x\\y.txt", b"drive", 0x20)                # drive prefix, backslashes
        add("../../evil.txt", b"evil", 0x20)
        add("../evil2.txt", b"evil2", 0x20)
        add("a/../../b.txt", b"b", 0x20)
        add("x/./y/..", b"dots", 0x20)
        add("Gr\u00fc\u00dfe/na\u00efve.txt", b"utf8", 0x20)  # zipfile sets the UTF-8 flag
        add("/abs/z.txt", b"z", 0x20)


def unix_zip():
    """A zip from a Unix host written by zipfile, with Unix modes in the external attributes."""
    with zipfile.ZipFile("python-unix.zip", "w", zipfile.ZIP_STORED) as z:
        def add(name, data, mode):
            info = zipfile.ZipInfo(name, DOS_TIME)
            info.create_system = 3
            info.external_attr = mode << 16
            z.writestr(info, data)
        add("docs/", b"", 0o040755)
        add("docs/notes.txt", b"notes\n", 0o100644)
        add("docs/locked.txt", b"locked\n", 0o100444)


def local_header(name, crc, csize, usize, extra=b"", flags=0, dostime=0, dosdate=0):
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, flags, 0, dostime, dosdate, crc,
                       csize, usize, len(name), len(extra)) + name + extra


def central_header(name, crc, csize, usize, offset, extra=b"", made_by=0x031E, ext_attr=0,
                   dostime=0, dosdate=0, flags=0):
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, made_by, 20, flags, 0, dostime,
                       dosdate, crc, csize, usize, len(name), len(extra), 0, 0, 0, ext_attr,
                       offset) + name + extra


def end_record(count, cd_size, cd_offset):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, cd_size, cd_offset, 0)


def dos_stamp(y, mo, d, h, mi, s):
    return (h << 11) | (mi << 5) | (s // 2), ((y - 1980) << 9) | (mo << 5) | d


def handmade_zip():
    """Stored members whose headers claim sizes the data does not have (never unpacked), an
    extended timestamp only in the local header, and a zip64 member of 5 GiB."""
    t, d = dos_stamp(2001, 2, 3, 4, 5, 6)
    out = bytearray()
    central = bytearray()

    def member(name, usize, local_extra=b"", central_extra=b"", zip64=False):
        nonlocal out, central
        offset = len(out)
        data = b"data"
        crc = zlib.crc32(data)
        if zip64:
            lx = struct.pack("<HHQQ", 1, 16, usize, len(data)) + local_extra
            out += local_header(name, crc, 0xFFFFFFFF, 0xFFFFFFFF, lx, 0, t, d) + data
            cx = struct.pack("<HHQQ", 1, 16, usize, len(data)) + central_extra
            central += central_header(name, crc, 0xFFFFFFFF, 0xFFFFFFFF, offset, cx,
                                      0x032D, 0o100644 << 16, t, d)
        else:
            out += local_header(name, crc, len(data), usize, local_extra, 0, t, d) + data
            central += central_header(name, crc, len(data), usize, offset, central_extra, 0x031E,
                                      0o100644 << 16, t, d)

    ut_local = struct.pack("<HHBI", 0x5455, 5, 1, 1262304000)  # 2010-01-01 00:00:00 UTC
    member(b"three-gb.bin", 3000000000)
    member(b"local-ut.txt", 4, local_extra=ut_local)
    member(b"five-gib.bin", 5 << 30, zip64=True)
    cd_offset = len(out)
    out += central
    out += end_record(3, len(central), cd_offset)
    with open("handmade.zip", "wb") as f:
        f.write(out)


dos_zip()
unix_zip()
handmade_zip()
