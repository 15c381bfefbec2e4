#!/usr/bin/env python3
"""Draws the resident program's icons: a pane of tinted glass, idle and four flash frames.

Writes TrayDefault.ico (also the program icon) and TraySelected1..4.ico (16x16 and 32x32,
32-bit with alpha) into the folder given as the only argument."""
import sys
from pathlib import Path

from icofile import ico


def pane(size, glint):
    """BGRA rows, top row first. glint: None for idle, else 0..3, the position of the shine."""
    px = []
    edge = max(1, size // 16)
    for y in range(size):
        row = []
        for x in range(size):
            inside = edge <= x < size - edge and edge <= y < size - edge
            corner = (x < 2 * edge or x >= size - 2 * edge) and (y < 2 * edge or y >= size - 2 * edge)
            if not inside or corner:
                row.append((0, 0, 0, 0))
                continue
            frame = x < 2 * edge or x >= size - 2 * edge or y < 2 * edge or y >= size - 2 * edge
            if frame:
                row.append((120, 60, 20, 255))  # dark blue rim
                continue
            b, g, r, a = 230, 170, 90, 150  # tinted glass, half see-through
            diag = (x + y) * 4 // size  # 0..7 across the pane
            if glint is None:
                if diag == 2:
                    b, g, r, a = 255, 240, 220, 210
            else:
                b, g, r, a = 255, 200, 110, 200
                if diag in (2 * glint, 2 * glint + 1):
                    b, g, r, a = 255, 255, 255, 255
            row.append((b, g, r, a))
        px.append(row)
    return px


def icon(glint):
    return ico([pane(s, glint) for s in (16, 32)])


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "TrayDefault.ico").write_bytes(icon(None))
    for frame in range(4):
        (folder / f"TraySelected{frame + 1}.ico").write_bytes(icon(frame))


if __name__ == "__main__":
    main()
