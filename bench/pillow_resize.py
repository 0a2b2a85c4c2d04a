#!/usr/bin/env python3
"""Times Pillow's Image.resize on the resizes of resample_bench.

The pictures follow the same formula as SyntheticPicture in resample_bench.cpp.
Pillow has no B-Spline filter; BICUBIC (support 2) is the nearest equivalent.
Prints one line per case: name, then milliseconds per resize as wall-clock
and as process CPU time (each the best mean of 5 runs), the two columns that
Google Benchmark reports. On a busy machine the CPU time is the fairer figure.
"""
import sys
import time

from PIL import Image

CASES = [
    ("Lanczos3", 1400, 420, 160, 40, Image.LANCZOS),
    ("Lanczos3", 2000, 600, 160, 40, Image.LANCZOS),
    ("BSpline", 1400, 420, 700, 210, Image.BICUBIC),
    ("BSpline", 2000, 600, 1000, 300, Image.BICUBIC),
]


def synthetic_picture(width, height):
    out = bytearray(width * height * 3)
    i = 0
    for y in range(height):
        ry = (y * 19349663) & 0xFFFFFFFF
        gy = y * 255 // height
        for x in range(width):
            rx = (x * 73856093) & 0xFFFFFFFF
            gradient = (x * 255 // width + gy) // 2
            # Stored blue, green, red like the 24-bit pictures of the program.
            for c in range(3):
                h = rx ^ ry ^ ((c * 83492791) & 0xFFFFFFFF)
                h = ((h ^ (h >> 13)) * 2654435761) & 0xFFFFFFFF
                out[i + 2 - c] = (gradient * 3 + (h >> 24)) // 4
            i += 3
    return Image.frombytes("RGB", (width, height), bytes(out))


def time_resize(img, size, flt):
    img.resize(size, flt)  # warm-up
    best_wall = best_cpu = float("inf")
    for _ in range(5):
        n = 0
        wall0, cpu0 = time.perf_counter(), time.process_time()
        while True:
            img.resize(size, flt)
            n += 1
            wall = time.perf_counter() - wall0
            if wall >= 0.2:
                break
        cpu = time.process_time() - cpu0
        best_wall = min(best_wall, wall / n * 1000.0)
        best_cpu = min(best_cpu, cpu / n * 1000.0)
    return best_wall, best_cpu


def files_mode(paths):
    # Pictures given on the command line: Lanczos3 to 160 x 40 and B-Spline
    # (BICUBIC) to half size, the resizes of pipeline_bench.
    for path in paths:
        img = Image.open(path).convert("RGB")
        w, h = img.size
        for name, size, flt in (("Lanczos3", (160, 40), Image.LANCZOS), ("BSpline", (w // 2, h // 2), Image.BICUBIC)):
            wall, cpu = time_resize(img, size, flt)
            print(f"{name}/{path.rsplit('/', 1)[-1]} {w}x{h}->{size[0]}x{size[1]} {wall:.3f} {cpu:.3f}")


def main():
    if len(sys.argv) > 1:
        files_mode(sys.argv[1:])
        return
    pictures = {}
    for name, sw, sh, dw, dh, flt in CASES:
        if (sw, sh) not in pictures:
            pictures[(sw, sh)] = synthetic_picture(sw, sh)
        wall, cpu = time_resize(pictures[(sw, sh)], (dw, dh), flt)
        print(f"{name}/{sw}x{sh}->{dw}x{dh} {wall:.3f} {cpu:.3f}")
    sys.stdout.flush()


if __name__ == "__main__":
    main()
