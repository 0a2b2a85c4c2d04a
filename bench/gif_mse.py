"""Mean squared error of GIF files against the true picture.

Usage: gif_mse.py TRUTH.bmp OUT.gif [OUT.gif ...]
Prints one line per GIF: its name, the number of palette entries it uses and
the mean over pixels and the three channels of the squared difference.
"""
import sys

from PIL import Image


def main():
    truth = Image.open(sys.argv[1]).convert("RGB")
    ref = truth.tobytes()
    for name in sys.argv[2:]:
        img = Image.open(name)
        used = len(set(img.getdata())) if img.mode == "P" else -1
        rgb = img.convert("RGB")
        if rgb.size != truth.size:
            print(f"{name} size {rgb.size} differs from {truth.size}")
            continue
        out = rgb.tobytes()
        total = sum((a - b) * (a - b) for a, b in zip(ref, out))
        print(f"{name} {used} {total / len(ref):.3f}")


if __name__ == "__main__":
    main()
