# Writes the images of the WMA source list, WmaV4.ico, WmaV7.ico and WmaPrx.ico
# (16 and 32 pixels, 32-bit), into the folder given: python3 make-wma-icons.py FOLDER
import struct, sys

GLYPHS = {  # 5x7 pixel glyphs
    'V': ["10001","10001","10001","10001","01010","01010","00100"],
    '4': ["00010","00110","01010","10010","11111","00010","00010"],
    '7': ["11111","00001","00010","00100","01000","01000","01000"],
    'P': ["11110","10001","10001","11110","10000","10000","10000"],
    'R': ["11110","10001","10001","11110","10100","10010","10001"],
    'X': ["10001","10001","01010","00100","01010","10001","10001"],
}

def image(size, text, colour):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    r, g, b = colour
    radius = size // 6
    for y in range(size):
        for x in range(size):
            dx = max(radius - x, x - (size - 1 - radius), 0)
            dy = max(radius - y, y - (size - 1 - radius), 0)
            if dx * dx + dy * dy <= radius * radius:
                px[y][x] = (b, g, r, 255)
    scale = 1 if size == 16 else 2
    width = len(text) * 5 * scale + (len(text) - 1) * scale
    ox, oy = (size - width) // 2, (size - 7 * scale) // 2
    for i, ch in enumerate(text):
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(row):
                if bit == '1':
                    for sy in range(scale):
                        for sx in range(scale):
                            x = ox + (i * 6 + gx) * scale + sx
                            y = oy + gy * scale + sy
                            px[y][x] = (255, 255, 255, 255)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes(c) for row in reversed(px) for c in row)
    and_row = ((size + 31) // 32) * 4
    mask = bytes(and_row * size)
    return header + xor + mask

def icon(path, text, colour):
    images = [image(s, text, colour) for s in (16, 32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    open(path, 'wb').write(out)

icon(sys.argv[1] + '/WmaV4.ico', 'V4', (0x1f, 0x6f, 0xb4))
icon(sys.argv[1] + '/WmaV7.ico', 'V7', (0x2e, 0x8b, 0x57))
icon(sys.argv[1] + '/WmaPrx.ico', 'P', (0xb0, 0x5a, 0x1a))
