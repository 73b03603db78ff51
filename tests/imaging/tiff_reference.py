# Decodes TIFF pages with Pillow, the reference of the TIFF tests. The first argument names a
# file of lines "path#page" (page from 0), the second the output folder; for line N it writes
# N.raw: a line "KIND width height" and the pixels: G16, 16-bit grey samples big-endian; 1,
# bilevel rows packed 8 pixels a byte, 1 white; RGBA, 8-bit RGBA.
import sys

from PIL import Image

for i, line in enumerate(open(sys.argv[1]).read().splitlines()):
    path, page = line.rsplit('#', 1)
    im = Image.open(path)
    im.seek(int(page))
    im.load()
    if im.mode.startswith('I;16'):
        data = im.tobytes('raw', 'I;16B')
        kind = 'G16'
    elif im.mode == '1':
        data = im.tobytes()
        kind = '1'
    else:
        data = im.convert('RGBA').tobytes()
        kind = 'RGBA'
    open('%s/%d.raw' % (sys.argv[2], i), 'wb').write(b'%s %d %d\n' % (kind.encode(), *im.size) + data)
