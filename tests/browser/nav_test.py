#!/usr/bin/python3
"""Makes a set of roll-over buttons with `vantrix-cli batch --html`, loads its
nav.html in headless Chromium and checks that every button shows its first
picture, all of one size, and that the pointer over the second one swaps
that one alone to its roll-over picture and back.

    nav_test.py --cli <vantrix-cli> --work <work file>

Uses the browser session of rollover_test.py. Without /usr/bin/chromium the
test is skipped (exit 0).
"""

import argparse
import os
import subprocess
import sys
import urllib.parse
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from rollover_test import TestFailure, chromium_page, run_check, wait_for  # noqa: E402

TOTAL_SECONDS = 60

IMAGES = """(function () {
  if (document.readyState !== "complete") return null;
  return Array.from(document.images).map(function (img) {
    var r = img.getBoundingClientRect();
    return {src: img.src, over: img.getAttribute("data-over"), complete: img.complete,
            width: img.naturalWidth, height: img.naturalHeight, x: r.left, y: r.top, w: r.width, h: r.height};
  });
})()"""


def images(ws):
    return ws.call("Runtime.evaluate", expression=IMAGES, returnByValue=True).get("result", {}).get("value")


def file_url(path):
    return urllib.parse.urljoin("file:", urllib.request.pathname2url(path))


def run(args, work):
    folder = os.path.join(work, "Nav Set")  # a blank in the path on purpose
    captions = os.path.join(work, "captions.txt")
    with open(captions, "w", encoding="utf-8") as f:
        f.write("Home\nNews\n\u041a\u043e\u043d\u0442\u0430\u043a\u0442\thttps://example.org/contact\n")
    made = subprocess.run([args.cli, "batch", args.work, "--captions", captions, "-o", folder, "--html"],
                          capture_output=True, text=True, timeout=60)
    if made.returncode != 0:
        raise TestFailure("batch failed: " + made.stderr.strip())
    page_url = file_url(os.path.join(folder, "nav.html"))

    with chromium_page(work, page_url) as ws:
        state = wait_for("the pictures", lambda: (lambda s: s if s and all(i["complete"] for i in s) else None)(
            images(ws)), 10)
        names = ["Home_1.gif", "News_1.gif", "\u041a\u043e\u043d\u0442\u0430\u043a\u0442_1.gif"]  # named in its own letters
        if [i["src"] for i in state] != [file_url(os.path.join(folder, n)) for n in names]:
            raise TestFailure(f"first pictures not shown: {state}")
        if len({(i["width"], i["height"]) for i in state}) != 1 or state[0]["width"] == 0:
            raise TestFailure(f"the buttons differ in size: {state}")

        second = state[1]
        over_url = file_url(os.path.join(folder, second["over"]))
        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=790, y=590)
        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=second["x"] + second["w"] / 2,
                y=second["y"] + second["h"] / 2)
        wait_for("the roll-over picture", lambda: (lambda s: s[1]["src"] == over_url and s[1]["complete"])(images(ws)), 5)
        now = images(ws)
        if now[0]["src"] != state[0]["src"] or now[2]["src"] != state[2]["src"]:
            raise TestFailure(f"another button changed: {now}")
        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=790, y=590)
        wait_for("the first picture again", lambda: images(ws)[1]["src"] == second["src"], 5)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    return run_check("nav", "vantrix-nav-", lambda work: run(args, work), TOTAL_SECONDS)

if __name__ == "__main__":
    sys.exit(main())
