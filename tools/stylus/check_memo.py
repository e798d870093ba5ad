"""Reads the memo that feed.py's strokes left and says, line by line, what it holds.

    check_memo.py MEMO.bmp ROUTE

The tap of feed.py anchors the screen's coordinates in the memo: it is the one-point stroke
of the 5-pixel pen, the line from (x, y) to (x + 4, y), so its ink spans x - 2 to x + 6 and
y - 2 to y + 2. Prints "ok ..." or "FAIL ..." per check.
"""
import struct
import sys


def read_bmp(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    size, width, height, _, bits = struct.unpack_from("<IiiHH", data, 14)
    colours, = struct.unpack_from("<I", data, 46)
    assert bits == 8, f"{bits} bits per pixel"
    table = [data[14 + size + 4 * i: 14 + size + 4 * i + 3] for i in range(colours or 256)]
    stride = (width + 3) & ~3
    rows = abs(height)
    ink = set()
    for row in range(rows):
        y = rows - 1 - row if height > 0 else row
        line = data[offset + row * stride: offset + row * stride + width]
        for x, index in enumerate(line):
            if table[index] == b"\0\0\0":
                ink.add((x, y))
    return width, rows, ink


def components(ink):
    left, found = set(ink), []
    while left:
        stack, part = [left.pop()], set()
        while stack:
            x, y = stack.pop()
            part.add((x, y))
            for n in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1),
                      (x + 1, y + 1), (x - 1, y - 1), (x + 1, y - 1), (x - 1, y + 1)):
                if n in left:
                    left.remove(n)
                    stack.append(n)
        found.append(part)
    return found


def box(part):
    xs = [x for x, _ in part]
    ys = [y for _, y in part]
    return min(xs), min(ys), max(xs), max(ys)


def main():
    path, route = sys.argv[1], sys.argv[2]
    _, _, ink = read_bmp(path)
    say = lambda ok, text: print(("ok   " if ok else "FAIL ") + f"{route}: {text}")
    taps = [p for p in components(ink) if box(p)[2] - box(p)[0] == 8 and box(p)[3] - box(p)[1] == 4]
    if len(taps) != 1:
        say(False, f"a pen tap leaves the one-point stroke (9 x 5 pixels): {len(taps)} found")
        return
    x0, y0, _, _ = box(taps[0])
    ox, oy = 400 - (x0 + 2), 300 - (y0 + 2)  # screen = memo + (ox, oy)
    say(True, "a pen tap leaves the one-point stroke of the pen")

    def at(x, y):
        return (round(x) - ox, round(y) - oy)

    # The pen stroke along y = 400.5 from x = 300.25 to 700.75, the eraser down x = 500.
    line_y = at(0, 400.5)[1]
    band = {(x, y) for x, y in ink if abs(y - line_y) <= 6}
    start, end = at(300.25, 0)[0], at(700.75, 0)[0]
    cut = at(500, 0)[0]

    def thickness(columns):
        return sum(sum(1 for y in range(line_y - 6, line_y + 7) if (x, y) in band)
                   for x in columns) / len(columns)

    early = thickness(range(start + 5, start + 45))
    late = thickness(range(end - 45, end - 5))
    say(early > 0 and late > early + 1.5,
        f"pressure rising along the stroke widens it (mean {early:.1f} pixels at its start, "
        f"{late:.1f} at its end)")
    left_of_cut = thickness(range(cut - 30, cut - 8))
    in_cut = thickness(range(cut - 3, cut + 4))
    tall = [(x, y) for x, y in ink if abs(x - cut) <= 6 and abs(y - line_y) > 8]
    say(left_of_cut > 0 and in_cut == 0 and not tall,
        f"the eraser end erases (ink across its path: {in_cut:.1f} pixels a column; "
        f"beside it {left_of_cut:.1f}; ink along it off the stroke: {len(tall)} pixels)")

    tap = set(taps[0])
    stray = [(x, y) for x, y in ink if (x, y) not in band and (x, y) not in tap]
    say(not stray, f"the side button and a hover leave no ink ({len(stray)} pixels elsewhere"
        + (f", around {box(stray)} in the memo" if stray else "") + ")")


if __name__ == "__main__":
    main()
