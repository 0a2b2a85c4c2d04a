#!/usr/bin/python3
"""End-to-end checks of the PNG and WebP export through vantrix-cli, read back
with decoders that are not ours (Pillow; dwebp for WebP):

  - composited over white and over black, the RGBA PNG matches the export
    made on that background (within 3 levels for 99.5 % of the pixels, within
    24 everywhere: the filter's ringing clips differently at hard edges),
    beyond the error that no alpha picture can avoid where the two exports
    contradict each other;
  - the drop shadow is translucent black (alpha 0.45..0.55), and where the
    render on white is the background colour itself the alpha is 0;
  - the indexed PNG is a palette picture whose fully transparent pixels stay
    at alpha 0, and it composites within the quantizer's error;
  - lossless and lossy WebP decode to the right size with an alpha channel;
    the lossless one holds exactly the PNG's pixels;
  - AVIF, decoded by avifdec, has the PNG's alpha within 2 levels and its
    colour within the lossy coder's error where the button is opaque, at
    every density of --scale;
  - --scale 1,2,3 writes exactly 1x, 2x and 3x the size.

    alpha_export_test.py --cli <vantrix-cli> --program-folder <build/data>
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

DWEBP = "/usr/bin/dwebp"
AVIFDEC = "/usr/bin/avifdec"
SIZE = []
WORKS = ["Default.dat", "Templates/Metal Ellipse.vtxm", "Templates/Marble Heading.vtxm"]


class Failure(Exception):
    pass


def export(args, work, out, *options):
    command = [args.cli, "export", os.path.join(args.program_folder, work), "-o", out,
               "--program-folder", args.program_folder, *options]
    made = subprocess.run(command, capture_output=True, text=True, timeout=120)
    if made.returncode != 0:
        raise Failure(f"{' '.join(command)}: {made.stderr.strip()}")
    return made.stdout.split("\n")[0]


def composite(rgba, background):
    """Straight RGBA over an opaque colour, rounded as a browser would."""
    out = []
    for r, g, b, a in rgba.getdata():
        out.append(tuple(round((c * a + background * (255 - a)) / 255) for c in (r, g, b)))
    return out


def compare(name, ours, reference, unavoidable):
    """Within 3 levels for 99.5 % of the pixels and 24 everywhere, beyond what
    no picture with alpha can avoid (see `unavoidable_error`)."""
    diffs = [max(abs(p - q) for p, q in zip(a, b)) - u for a, b, u in zip(ours, reference, unavoidable)]
    close = sum(1 for d in diffs if d <= 3) / len(diffs)
    if close < 0.995 or max(diffs) > 24:
        raise Failure(f"{name}: {close:.2%} of the pixels within 3 levels, largest excess {max(diffs):.1f}")
    return close, max(diffs)


def unavoidable_error(over_white, over_black):
    """Where the filter's ringing, clipped to 0..255, left the export on white
    darker than the one on black, no alpha explains both: some composite then
    misses by at least half the gap."""
    return [max(0, max(b - w for w, b in zip(pw, pb))) / 2 for pw, pb in zip(over_white, over_black)]


def check_work(args, tmp, work):
    tag = os.path.splitext(os.path.basename(work))[0].replace(" ", "_")
    png = export(args, work, os.path.join(tmp, tag + ".png"), "--format", "png", "--scale", "1,2,3", *SIZE)
    picture = Image.open(png)
    picture.load()
    if picture.mode != "RGBA":
        raise Failure(f"{png}: mode {picture.mode}, not RGBA")
    width, height = picture.size
    for scale in (2, 3):
        bigger = Image.open(png[:-4] + f"@{scale}x.png")
        if bigger.size != (width * scale, height * scale):
            raise Failure(f"{tag}@{scale}x: {bigger.size}, not {scale} x {picture.size}")

    alpha = list(picture.getchannel("A").getdata())
    references = {}
    for colour, value in (("white", 255), ("black", 0)):
        bmp = export(args, work, os.path.join(tmp, f"{tag}-{colour}.bmp"), "--format", "bmp",
                     "--set", f"Button.BkgColor={value * 0x10101}", *SIZE)
        reference = Image.open(bmp).convert("RGB")
        if reference.size != picture.size:
            raise Failure(f"{tag}: the {colour} export is {reference.size}, the PNG {picture.size}")
        references[colour] = list(reference.getdata())
    unavoidable = unavoidable_error(references["white"], references["black"])
    for colour, value in (("white", 255), ("black", 0)):
        compare(f"{tag} over {colour}", composite(picture, value), references[colour], unavoidable)

    # Where both backgrounds show through unchanged nothing was drawn.
    empty = [a for a, w, b in zip(alpha, references["white"], references["black"])
             if w == (255, 255, 255) and b == (0, 0, 0)]
    if not empty or max(empty) != 0:
        raise Failure(f"{tag}: {len(empty)} background pixels, largest alpha {max(empty, default=None)}")
    # The shadow: black on the black export, grey on the white one.
    shadow = [a / 255 for a, w, b in zip(alpha, references["white"], references["black"])
              if b == (0, 0, 0) and all(120 <= c <= 135 for c in w)]
    if len(shadow) < 20:
        raise Failure(f"{tag}: no shadow found ({len(shadow)} pixels)")
    inside = sum(1 for a in shadow if 0.45 <= a <= 0.55) / len(shadow)
    if inside < 0.99:
        raise Failure(f"{tag}: only {inside:.1%} of the shadow has alpha 0.45..0.55")

    indexed = Image.open(export(args, work, os.path.join(tmp, tag + "8.png"), "--format", "png8", "--dither", "1", *SIZE))
    if indexed.mode != "P" or indexed.size != picture.size:
        raise Failure(f"{tag} indexed: mode {indexed.mode} size {indexed.size}")
    indexed_alpha = list(indexed.convert("RGBA").getchannel("A").getdata())
    if any(b != 0 for a, b in zip(alpha, indexed_alpha) if a == 0):
        raise Failure(f"{tag} indexed: a fully transparent pixel became visible")
    if any(b == 0 for a, b in zip(alpha, indexed_alpha) if a == 255):
        raise Failure(f"{tag} indexed: an opaque pixel became transparent")

    for options in ((), ("--quality", "80")):
        webp = export(args, work, os.path.join(tmp, tag + ".webp"), "--format", "webp", *options, *SIZE)
        decoded = os.path.join(tmp, tag + "-webp.png")
        run = subprocess.run([DWEBP, webp, "-o", decoded], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            raise Failure(f"dwebp {webp}: {run.stderr.strip()}")
        back = Image.open(decoded)
        if back.mode != "RGBA" or back.size != picture.size:
            raise Failure(f"{webp} {options}: mode {back.mode} size {back.size}")
        back_alpha = list(back.getchannel("A").getdata())
        if not options:
            if composite(back, 0) != composite(picture, 0) or back_alpha != alpha:
                raise Failure(f"{webp}: lossless WebP differs from the PNG")
        elif back_alpha != alpha:
            raise Failure(f"{webp}: the lossy WebP's alpha is not lossless")
    check_avif(args, tmp, work, tag, png)
    print(f"{tag}: {width} x {height}, shadow {len(shadow)} px, background {len(empty)} px: ok")


def check_avif(args, tmp, work, tag, png):
    avif = export(args, work, os.path.join(tmp, tag + ".avif"), "--format", "avif", "--scale", "1,2", *SIZE)
    for suffix in ("", "@2x"):
        decoded = os.path.join(tmp, tag + suffix + "-avif.png")
        source = avif[:-5] + suffix + ".avif"
        run = subprocess.run([AVIFDEC, source, decoded], capture_output=True, text=True, timeout=60)
        if run.returncode != 0:
            raise Failure(f"avifdec {source}: {run.stderr.strip()}")
        back = Image.open(decoded).convert("RGBA")
        reference = Image.open(png[:-4] + suffix + ".png")
        if back.size != reference.size:
            raise Failure(f"{source}: {back.size}, the PNG {reference.size}")
        ours, theirs = list(back.getdata()), list(reference.getdata())
        alpha_error = max(abs(p[3] - q[3]) for p, q in zip(ours, theirs))
        if alpha_error > 2:
            raise Failure(f"{source}: alpha differs from the PNG's by {alpha_error}")
        opaque = [abs(p[c] - q[c]) for p, q in zip(ours, theirs) if q[3] == 255 for c in range(3)]
        if sum(opaque) / max(1, len(opaque)) > 4:
            raise Failure(f"{source}: mean colour error {sum(opaque) / len(opaque):.2f} where opaque")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--program-folder", required=True)
    parser.add_argument("--size")
    args = parser.parse_args()
    if args.size:
        SIZE.extend(["--size", args.size])
    tmp = tempfile.mkdtemp(prefix="vantrix-alpha-")
    failed = 0
    try:
        for work in WORKS:
            try:
                check_work(args, tmp, work)
            except (Failure, OSError, subprocess.SubprocessError) as e:
                print(f"FAILED: {work}: {e}")
                failed += 1
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print(f"alpha export: {len(WORKS) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
