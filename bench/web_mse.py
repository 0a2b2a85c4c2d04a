"""Pillow beside our export of the same RGBA picture, and the mean squared
error of each file as a page shows it, composited over the page colour
(white), against its own source: the RGBA picture for the PNG and WebP
files, the export on the page colour for the GIF.

Usage: web_mse.py DIR RUNS
DIR holds what `web_export_bench --write` made. Pillow saves DIR/rgba.png as
PNG (optimize=True) and WebP (quality=90) into memory, best of RUNS; prints
one line per file: name, milliseconds (Pillow's only), size in bytes, MSE.
AVIF files are decoded with avifdec first, since Pillow does not read them.
"""
import io
import os
import subprocess
import sys
import time

from PIL import Image


def over_white(path):
    if path.endswith(".avif"):
        decoded = path + ".png"
        subprocess.run(["avifdec", path, decoded], check=True, capture_output=True)
        path = decoded
    img = Image.open(path).convert("RGBA")
    page = Image.new("RGBA", img.size, (255, 255, 255, 255))
    return Image.alpha_composite(page, img).convert("RGB").tobytes()


def mse(truth, path):
    out = over_white(path)
    return sum((a - b) * (a - b) for a, b in zip(truth, out)) / len(truth)


def best_ms(runs, work):
    best = float("inf")
    for _ in range(runs):
        t0 = time.perf_counter()
        work()
        best = min(best, (time.perf_counter() - t0) * 1000)
    return best


def main():
    folder, runs = sys.argv[1], int(sys.argv[2])
    truth = Image.open(os.path.join(folder, "truth.bmp")).convert("RGB").tobytes()
    source = over_white(os.path.join(folder, "rgba.png"))
    rgba = Image.open(os.path.join(folder, "rgba.png"))
    rgba.load()
    saves = {
        "pillow.png": lambda f: rgba.save(f, "PNG", optimize=True),
        "pillow-q90.webp": lambda f: rgba.save(f, "WEBP", quality=90),
    }
    for name, save in saves.items():
        path = os.path.join(folder, name)
        ms = best_ms(runs, lambda: save(io.BytesIO()))
        save(path)
        print(f"{name} {ms:.3f} {os.path.getsize(path)} {mse(source, path):.3f}")
    for name in ("ours.png", "ours8.png", "ours.webp", "ours-q90.webp", "ours-q75.webp", "ours-q100.webp", "ours-q50.avif",
                 "ours-q60.avif", "ours-q70.avif", "ours-q80.avif", "ours-q90.avif", "ours.gif"):
        path = os.path.join(folder, name)
        print(f"{name} - {os.path.getsize(path)} {mse(truth if name.endswith('.gif') else source, path):.3f}")


if __name__ == "__main__":
    main()
