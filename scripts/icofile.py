"""Packs drawn pictures into a Windows icon file: 32-bit images with alpha and an AND mask."""
import struct


def _image(px):
    size = len(px)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(struct.pack("<BBBB", *p) for row in reversed(px) for p in row)
    # The mask still decides transparency where a reader ignores the alpha channel.
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(px):
        bits = bytearray(mask_row)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def ico(pictures):
    """pictures: square BGRA pictures, rows top first, one per size."""
    images = [_image(px) for px in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for px, data in zip(pictures, images):
        size = len(px)
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)
