#!/usr/bin/python3
"""End-to-end checks of the animated export through vantrix-cli, read back
with tools that are not ours: each kind of movement in one of the three
formats (webpmux and Pillow for WebP, the acTL chunk and Pillow for APNG,
Pillow for GIF):

  - the file holds as many frames as asked, loops for ever, and each frame
    differs from the one before (the button moves);
  - the still picture written beside it is the first frame;
  - the page shows the animation with the still picture as the source for
    readers who ask for less motion;
  - a usage error for an animation in a format that has none.

    animation_test.py --cli <vantrix-cli> --program-folder <build/data>
"""

import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

from PIL import Image

WEBPMUX = "/usr/bin/webpmux"
FRAMES = 4
CASES = [("swing", "webp"), ("light", "png"), ("pulse", "gif")]


class Failure(Exception):
    pass


def frame_count(path, kind):
    """The frame count and loop count the file declares."""
    data = open(path, "rb").read()
    if kind == "webp":
        info = subprocess.run([WEBPMUX, "-info", path], capture_output=True, text=True, timeout=30).stdout
        frames = re.search(r"Number of frames: (\d+)", info)
        loops = re.search(r"Loop Count\s*:\s*(\d+)", info)
        return int(frames.group(1)) if frames else 0, int(loops.group(1)) if loops else None
    if kind == "png":
        at = data.find(b"acTL")
        return struct.unpack(">II", data[at + 4:at + 12]) if at > 0 else (0, None)
    image = Image.open(path)
    return image.n_frames, image.info.get("loop")


def frames_of(path):
    image = Image.open(path)
    out = []
    for i in range(image.n_frames):
        image.seek(i)
        out.append(image.convert("RGBA").copy())
    return out


def check(args, tmp, movement, kind):
    folder = os.path.join(tmp, "pf")
    name = os.path.join(tmp, f"{movement}.{kind}")
    command = [args.cli, "export", os.path.join(folder, "Default.dat"), "-o", name, "--format", kind,
               "--animate", movement, "--frames", str(FRAMES), "--fps", "8", "--size", "160x40", "--html",
               "--program-folder", folder]
    made = subprocess.run(command, capture_output=True, text=True, timeout=120)
    if made.returncode != 0:
        raise Failure(f"{' '.join(command)}: {made.stderr.strip()}")
    animation, still = made.stdout.split("\n")[:2]
    count, loops = frame_count(animation, kind)
    if count != FRAMES or loops != 0:
        raise Failure(f"{animation}: {count} frames, loop count {loops}")
    frames = frames_of(animation)
    if len(frames) != FRAMES or any(f.size != (160, 40) for f in frames):
        raise Failure(f"{animation}: Pillow reads {len(frames)} frames of {[f.size for f in frames]}")
    # Each movement is a wave through one loop: neighbours differ, frame 2 of 4 may be frame 0 again.
    for i in range(1, FRAMES):
        if frames[i].tobytes() == frames[i - 1].tobytes():
            raise Failure(f"{animation}: frame {i} is frame {i - 1} again")
    first = Image.open(still).convert("RGBA")
    if kind != "webp" and first.tobytes() != frames[0].tobytes():
        raise Failure(f"{still} is not the first frame")
    page = open(os.path.join(folder, "html", "preview.html"), encoding="utf-8").read()
    reduced = f'<source media="(prefers-reduced-motion: reduce)" srcset="file://{still}">'
    if reduced not in page or f'src="file://{animation}"' not in page:
        raise Failure(f"the page does not offer {still} for less motion")
    print(f"{movement} as {kind}: {count} frames: ok")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--program-folder", required=True)
    args = parser.parse_args()
    tmp = tempfile.mkdtemp(prefix="vantrix-animation-")
    failed = 0
    try:
        shutil.copytree(args.program_folder, os.path.join(tmp, "pf"))  # --html writes into its html/
        for movement, kind in CASES:
            try:
                check(args, tmp, movement, kind)
            except (Failure, OSError, subprocess.SubprocessError) as e:
                print(f"FAILED: {movement} as {kind}: {e}")
                failed += 1
        refused = subprocess.run([args.cli, "export", os.path.join(tmp, "pf", "Default.dat"), "-o",
                                  os.path.join(tmp, "x.jpg"), "--animate", "swing", "--program-folder",
                                  os.path.join(tmp, "pf")], capture_output=True, text=True, timeout=60)
        if refused.returncode != 2:
            print(f"FAILED: a JPEG animation gave exit status {refused.returncode}")
            failed += 1
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print(f"animation export: {len(CASES) + 1 - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
