#!/usr/bin/env python3
"""Writes a small seed corpus of memo files, valid and nearly valid, into the given folder."""
import os
import struct
import sys


def bmp(width, height, bits, compression=0, table=b"", pixels=None, gap=b"", colors_used=0):
    stride = (width * bits + 31) // 32 * 4
    if pixels is None:
        pixels = bytes((i * 37) & 0xFF for i in range(stride * abs(height)))
    offset = 14 + 40 + len(table) + len(gap)
    header = struct.pack("<HIHHI", 0x4D42, offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels),
                       0, 0, colors_used, 0)
    return header + info + table + gap + pixels


def table(entries):
    return b"".join(struct.pack("<BBBB", i * 7 & 0xFF, i * 3 & 0xFF, i & 0xFF, 0)
                    for i in range(entries))


seeds = {
    "memo-8bit.bmp": bmp(9, 5, 8, table=table(256)),
    "memo-8bit-topdown.bmp": bmp(4, -3, 8, table=table(256)),
    "mono.bmp": bmp(17, 3, 1, table=table(2)),
    "two-bit.bmp": bmp(7, 2, 2, table=table(4)),
    "four-bit-colors-used.bmp": bmp(5, 4, 4, table=table(16), gap=b"GAP!", colors_used=2),
    "rgb24.bmp": bmp(3, 3, 24),
    "rgb16.bmp": bmp(5, 2, 16),
    "rgb16-565.bmp": bmp(5, 2, 16, 3, struct.pack("<III", 0xF800, 0x07E0, 0x001F)),
    "rgb32-masks.bmp": bmp(2, -2, 32, 3, struct.pack("<III", 0xFF0000, 0xFF00, 0xFF)),
}


def recovery_copy(path, memo):
    """A recovery copy without its checksum, which the fuzzer adds to every input."""
    name = path.encode("utf-8")
    identity = struct.pack("<QQqqq", 2049, 1234567, len(memo), 1_700_000_000_000_000_000,
                           1_700_000_000_000_000_001)
    return (b"QuilloRC" + struct.pack("<I", len(name)) + name + identity
            + struct.pack("<I", len(memo)) + memo)


seeds["copy-of-a-memo.qrc"] = recovery_copy("\\My Documents\\Quillo\\a.bmp",
                                             seeds["memo-8bit.bmp"])
seeds["copy-of-a-new-memo.qrc"] = recovery_copy("", seeds["memo-8bit-topdown.bmp"])

folder = sys.argv[1] if len(sys.argv) > 1 else "corpus"
os.makedirs(folder, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)
print(f"{len(seeds)} seeds in {folder}")
