# Decodes PNG files with Pillow for the PNG reader's corpus test. For every file given after
# the output folder it writes N.rgba (8-bit RGBA, transparency applied), N.g16 (16-bit grey
# samples, big-endian, when Pillow gives them exactly), N.idat (the IDAT data) and one line
# of index.tsv: path, width, height, whether the alpha is known, the tRNS colour key.
import struct
import sys

from PIL import Image


def idat_data(raw):
    pos, out = 8, bytearray()
    while pos + 8 <= len(raw):
        length, kind = struct.unpack(">I4s", raw[pos:pos + 8])
        if kind == b"IDAT":
            out += raw[pos + 8:pos + 8 + length]
        pos += 12 + length
    return bytes(out)


def rgba(image, depth):
    transparency = image.info.get("transparency")
    width, height = image.size
    pixels = image.load()
    out = bytearray()
    alpha_known = True
    if image.mode == "P":
        palette = image.getpalette()
        alphas = transparency if isinstance(transparency, bytes) else b""
        if isinstance(transparency, int):
            alphas = b"\xff" * transparency + b"\x00"
        for y in range(height):
            for x in range(width):
                i = pixels[x, y]
                a = alphas[i] if i < len(alphas) else 255
                out += bytes(palette[3 * i:3 * i + 3]) + bytes([a])
    elif image.mode in ("1", "L", "I"):
        maximum = (1 << depth) - 1
        for y in range(height):
            for x in range(width):
                v = pixels[x, y]
                raw = v >> 8 if image.mode == "I" else v
                if image.mode == "1":
                    v = 255 if v else 0
                # Pillow gives 1 to 4-bit grey scaled to 8 bits; the key is the raw sample.
                sample = pixels[x, y] if image.mode == "I" else (v * maximum + 127) // 255
                a = 0 if transparency is not None and sample == transparency else 255
                out += bytes([raw if image.mode == "I" else v] * 3 + [a])
    elif image.mode == "RGB":
        # 16-bit RGB comes as 8 bits: a 16-bit key cannot be applied to it.
        alpha_known = transparency is None or depth == 8
        for y in range(height):
            for x in range(width):
                p = pixels[x, y]
                a = 0 if transparency is not None and depth == 8 and tuple(p) == tuple(transparency) else 255
                out += bytes(p) + bytes([a])
    else:
        out += image.convert("RGBA").tobytes()
    return bytes(out), alpha_known


def main():
    folder = sys.argv[1]
    with open(folder + "/index.tsv", "w") as index:
        for n, path in enumerate(sys.argv[2:]):
            raw = open(path, "rb").read()
            depth = raw[24]
            image = Image.open(path)
            image.load()
            pixels, alpha_known = rgba(image, depth)
            open("%s/%d.rgba" % (folder, n), "wb").write(pixels)
            open("%s/%d.idat" % (folder, n), "wb").write(idat_data(raw))
            if image.mode == "I":
                values = image.getdata()
                open("%s/%d.g16" % (folder, n), "wb").write(b"".join(struct.pack(">H", v) for v in values))
            key = image.info.get("transparency")
            key = ",".join(str(v) for v in (key if isinstance(key, tuple) else (key,))) \
                if key is not None and image.mode != "P" else "-"
            index.write("%s\t%d\t%d\t%d\t%s\n" % (path, image.size[0], image.size[1], alpha_known, key))


main()
