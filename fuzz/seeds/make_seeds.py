#!/usr/bin/env python3
"""Writes the fuzz seeds that reach paths the sample files do not: a zip64 member behind a zip64
local-header offset, a Unicode-path extra field that matches its name, a property set in the
UTF-16 code page, and inputs larger than the readers' read windows. Run from the repository
root; the pictures and sounds need ImageMagick's convert and lame."""
import os
import random
import struct
import subprocess
import tempfile
import zlib

SEEDS = os.path.join(os.path.dirname(os.path.abspath(__file__)))
DOS_TIME = (12 << 11) | (30 << 5)  # 12:30:00
DOS_DATE = ((2020 - 1980) << 9) | (5 << 5) | 17  # 2020-05-17


def write(folder, name, data):
    with open(os.path.join(SEEDS, folder, name), "wb") as f:
        f.write(data)


def local_header(name, data, extra=b"", version=20, sizes=None):
    crc = zlib.crc32(data)
    csize, usize = sizes if sizes else (len(data), len(data))
    return struct.pack("<IHHHHHIIIHH", 0x04034B50, version, 0, 0, DOS_TIME, DOS_DATE, crc, csize,
                       usize, len(name), len(extra)) + name + extra


def central_header(name, data, offset, extra=b"", made_by=0x0014, version=20, sizes=None):
    crc = zlib.crc32(data)
    csize, usize = sizes if sizes else (len(data), len(data))
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, made_by, version, 0, 0, DOS_TIME, DOS_DATE,
                       crc, csize, usize, len(name), len(extra), 0, 0, 0, 0x20, offset) + name + extra


def end_record(count, cd_size, cd_offset):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, cd_size, cd_offset, 0)


def zip64_member_behind_zip64_offset():
    """One stored member whose central header keeps its sizes and its local-header offset in
    the zip64 block, with a zip64 end record and locator; a first member stands in front so
    the offset is not 0."""
    first = b"first member\n"
    second = b"behind a zip64 offset\n" * 4
    out = local_header(b"first.txt", first) + first
    offset2 = len(out)
    local64 = struct.pack("<HHQQ", 0x0001, 16, len(second), len(second))
    out += local_header(b"dir/second.txt", second, local64, 45, (0xFFFFFFFF, 0xFFFFFFFF)) + second
    cd_offset = len(out)
    cd = central_header(b"first.txt", first, 0)
    extra64 = struct.pack("<HHQQQ", 0x0001, 24, len(second), len(second), offset2)
    cd += central_header(b"dir/second.txt", second, 0xFFFFFFFF, extra64, 0x032D, 45,
                         (0xFFFFFFFF, 0xFFFFFFFF))
    out += cd
    eocd64 = len(out)
    out += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, 2, 2, len(cd), cd_offset)
    out += struct.pack("<IIQI", 0x07064B50, 0, eocd64, 1)
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
    return out


def unicode_path_member():
    """A member named in the OEM code page (no UTF-8 flag) with a Unicode-path block that
    carries the CRC-32 of that very name, and a second whose block belongs to another name."""
    out = b""
    cd = b""
    for raw, text, crc_of in ((b"caf\x82.txt", "café.txt", b"caf\x82.txt"),
                              (b"na\x8ave.txt", "naïve-other.txt", b"other")):
        data = text.encode() + b"\n"
        block = struct.pack("<BI", 1, zlib.crc32(crc_of)) + text.encode()
        extra = struct.pack("<HH", 0x7075, len(block)) + block
        offset = len(out)
        out += local_header(raw, data, extra) + data
        cd += central_header(raw, data, offset, extra)
    return out + cd + end_record(2, len(cd), len(out))


def large_zip():
    """Members spread over more than two 64 KiB read blocks: a stored member of 150 KB between
    small ones, so the central directory and the later local headers lie far apart."""
    rnd = random.Random(7)
    members = [(b"a.txt", b"small\n"), (b"big/stored.bin", bytes(rnd.getrandbits(8) for _ in range(150000))),
               (b"z.txt", b"last\n")]
    out = b""
    cd = b""
    for name, data in members:
        offset = len(out)
        out += local_header(name, data) + data
        cd += central_header(name, data, offset, made_by=0x031E)
    return out + cd + end_record(len(members), len(cd), len(out))


def property_set_utf16():
    """A summary-information property set in code page 1200 (UTF-16): title and author as
    VT_LPSTR whose bytes are UTF-16, padded to more than the mini-stream cutoff."""
    def lpstr(text):
        raw = text.encode("utf-16-le") + b"\0\0"
        raw += b"\0" * (-len(raw) % 4)
        return struct.pack("<HHI", 30, 0, len(raw)) + raw
    values = [(1, struct.pack("<HHhH", 2, 0, 1200, 0)), (2, lpstr("Titel – Ünïcode")),
              (4, lpstr("Åuthor 名前")), (14, struct.pack("<HHi", 3, 0, 7))]
    header_len = 8 + 8 * len(values)
    body = b""
    offsets = []
    for pid, v in values:
        offsets.append((pid, header_len + len(body)))
        body += v
    section = struct.pack("<II", header_len + len(body), len(values))
    section += b"".join(struct.pack("<II", pid, off) for pid, off in offsets) + body
    fmtid = bytes.fromhex("e0859ff2f94f6810ab9108002b27b3d9")
    stream = struct.pack("<HHI16sI", 0xFFFE, 0, 0x00020006, b"\0" * 16, 1) + fmtid
    stream += struct.pack("<I", 48) + section
    return stream + b"\0" * (5000 - len(stream))


def compound_file(streams):
    """A version 3 compound file (512-byte sectors) with the given root streams, each at least
    4096 bytes so all live in regular sectors."""
    sector = 512
    chains = []
    data = b""
    next_sector = 0
    for _, content in streams:
        content += b"\0" * (-len(content) % sector)
        n = len(content) // sector
        chains.append((next_sector, n))
        next_sector += n
        data += content
    dir_sector = next_sector
    dir_count = (len(streams) + 1 + 3) // 4
    fat_sector = dir_sector + dir_count
    entries_per_fat = sector // 4
    fat_count = 1
    while fat_sector + fat_count > fat_count * entries_per_fat:
        fat_count += 1
    fat = []
    for start, n in chains:
        fat += [start + i + 1 for i in range(n - 1)] + [0xFFFFFFFE]
    fat += [dir_sector + i + 1 for i in range(dir_count - 1)] + [0xFFFFFFFE]
    fat += [0xFFFFFFFD] * fat_count
    fat += [0xFFFFFFFF] * (fat_count * entries_per_fat - len(fat))

    def entry(name, kind, left, right, child, start, size):
        raw = name.encode("utf-16-le") + b"\0\0"
        return (raw.ljust(64, b"\0") + struct.pack("<HBBIII", len(raw), kind, 1, left, right, child)
                + b"\0" * 16 + b"\0" * 4 + b"\0" * 16 + struct.pack("<IQ", start, size))
    # The root's child is the first stream; the others hang off its right side in a chain,
    # names in the tree's order (shorter names first).
    order = sorted(range(len(streams)), key=lambda i: (len(streams[i][0]), streams[i][0].upper()))
    dirs = [entry("Root Entry", 5, 0xFFFFFFFF, 0xFFFFFFFF, 1, 0xFFFFFFFE, 0)]
    for pos, i in enumerate(order):
        right = pos + 2 if pos + 1 < len(order) else 0xFFFFFFFF
        dirs.append(entry(streams[i][0], 2, 0xFFFFFFFF, right, 0xFFFFFFFF, chains[i][0],
                          len(streams[i][1])))
    while len(dirs) % 4:
        dirs.append(b"\0" * 64 + struct.pack("<HBBIII", 0, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
                    + b"\0" * 48)
    # Sectors are laid out in the order of `streams`; the tree order only decides the links.
    header = struct.pack("<8s16sHHHHH6sIIIIIIIII", bytes.fromhex("d0cf11e0a1b11ae1"), b"\0" * 16,
                         0x3E, 3, 0xFFFE, 9, 6, b"\0" * 6, 0, fat_count, dir_sector, 0, 4096,
                         0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
    header += struct.pack("<109I", *range(fat_sector, fat_sector + fat_count),
                          *([0xFFFFFFFF] * (109 - fat_count)))
    return header + data + b"".join(dirs) + struct.pack("<%dI" % len(fat), *fat)


def run(*cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    write("zip", "zip64_local_offset.zip", zip64_member_behind_zip64_offset())
    write("zip", "unicode_path.zip", unicode_path_member())
    write("zip", "large.zip", large_zip())
    rnd = random.Random(11)
    filler = bytes(rnd.getrandbits(8) for _ in range(70000))
    write("compound_file", "utf16_codepage_large.cfb",
          compound_file([("Filler", filler), ("\x05SummaryInformation", property_set_utf16())]))
    with tempfile.TemporaryDirectory() as tmp:
        jpg = os.path.join(tmp, "p.jpg")
        run("convert", "-size", "160x120", "plasma:fractal", "-seed", "3", "-quality", "98",
            "-interlace", "JPEG", jpg)
        with open(jpg, "rb") as f:
            write("picture", "progressive_large.jpg", f.read())
        wav = os.path.join(tmp, "t.wav")
        mp3 = os.path.join(tmp, "t.mp3")
        run("sox", "-n", "-r", "44100", "-c", "2", wav, "synth", "6", "sine", "440")
        run("lame", "--quiet", "-b", "128", "--tt", "Long", "--add-id3v2", "--pad-id3v2-size",
            "20000", wav, mp3)
        with open(mp3, "rb") as f:
            write("mp3", "large_padded_tag.mp3", f.read())


if __name__ == "__main__":
    main()
