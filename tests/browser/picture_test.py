#!/usr/bin/python3
"""Exports a roll-over button and a set of them in several formats at once
(`--format avif,webp,png --scale 1,2`) with vantrix-cli, loads every kind of
page Vantrix writes in headless Chromium and checks:

  - the <picture> pages (script and CSS roll-over) and the set's pages show
    the AVIF source at 1x, every picture decoded (none broken);
  - the pointer over a button swaps its source to the roll-over picture and
    back, and leaves the other buttons alone; on the CSS pages the Tab key
    swaps it too, the focused link has a visible outline and no script runs;
  - with axe-core, no serious or critical finding of the WCAG 2.x A and AA
    rules on the still preview, both roll-over previews, both set pages and
    the About page.

    picture_test.py --cli <vantrix-cli> --program-folder <build/data> [--axe <axe.min.js>]

Without /usr/bin/chromium the test is skipped (exit 0); without axe-core
(scripts/install-deps installs it) only the accessibility checks are.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from rollover_test import TestFailure, chromium_page, file_url, run_check, wait_for  # noqa: E402

TOTAL_SECONDS = 120
AXE = "/usr/local/lib/vantrix-axe/node_modules/axe-core/axe.min.js"
AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"]

# Every <img> of the page: what it shows and whether that decoded.
PICTURES = """(function () {
  if (document.readyState !== "complete") return null;
  return Array.from(document.images).map(function (img) {
    var r = img.getBoundingClientRect();
    return {current: img.currentSrc, shown: getComputedStyle(img).display !== "none" && r.width > 0,
            complete: img.complete, width: img.naturalWidth, x: r.left, y: r.top, w: r.width, h: r.height};
  });
})()"""

FOCUS = """(function () {
  var a = document.activeElement, style = getComputedStyle(a);
  return {tag: a.tagName, outline: style.outlineStyle, outlineWidth: parseFloat(style.outlineWidth)};
})()"""


def evaluate(ws, expression, wait=False):
    reply = ws.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=wait)
    if "exceptionDetails" in reply:
        raise TestFailure(f"script error: {reply['exceptionDetails'].get('text')}")
    return reply.get("result", {}).get("value")


def shown(ws):
    """The pictures on show, once every picture of the page has decoded."""
    state = evaluate(ws, PICTURES)
    if not state or not all(p["complete"] for p in state):
        return None
    broken = [p["current"] for p in state if p["shown"] and p["width"] == 0]
    if broken:
        raise TestFailure(f"broken pictures: {broken}")
    return [p for p in state if p["shown"]]


def showing(ws, urls):
    state = shown(ws)
    return state if state and [p["current"] for p in state] == urls else None


def open_page(ws, path):
    url = file_url(path)
    ws.call("Page.navigate", url=url)
    wait_for(f"{os.path.basename(path)} to load",
             lambda: evaluate(ws, "document.readyState === 'complete' && location.href") == url, 10)


def point_at(ws, picture):
    ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=790, y=590)
    if picture:
        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=picture["x"] + picture["w"] / 2,
                y=picture["y"] + picture["h"] / 2)


def press_tab(ws):
    for kind in ("rawKeyDown", "keyUp"):
        ws.call("Input.dispatchKeyEvent", type=kind, key="Tab", code="Tab", windowsVirtualKeyCode=9)


def check_swaps(ws, name, firsts, seconds, css):
    """The page shows `firsts`; pointing at button k shows seconds[k] there
    alone; with css, so does the Tab key on the first link."""
    state = wait_for(f"{name}: the first pictures", lambda: showing(ws, firsts), 10)
    if css and evaluate(ws, "document.scripts.length") != 0:
        raise TestFailure(f"{name}: the CSS page has a script")
    k = len(firsts) - 1
    swapped = firsts[:k] + [seconds[k]]
    point_at(ws, state[k])
    wait_for(f"{name}: the roll-over picture", lambda: showing(ws, swapped), 5)
    point_at(ws, None)
    wait_for(f"{name}: the first pictures again", lambda: showing(ws, firsts), 5)
    if css:
        press_tab(ws)
        wait_for(f"{name}: the focused link's picture", lambda: showing(ws, [seconds[0]] + firsts[1:]), 5)
        focus = evaluate(ws, FOCUS)
        if focus["tag"] != "A" or focus["outline"] == "none" or focus["outlineWidth"] <= 0:
            raise TestFailure(f"{name}: no visible focus on the link: {focus}")


def check_accessible(ws, name, axe):
    if not axe:
        return
    evaluate(ws, axe)
    found = evaluate(ws, "axe.run(document, {runOnly: {type: 'tag', values: %s}}).then(function (r) {"
                         " return r.violations.map(function (v) {"
                         " return {id: v.id, impact: v.impact, nodes: v.nodes.length}; }); })"
                     % json.dumps(AXE_TAGS), wait=True)
    serious = [v for v in found if v["impact"] in ("serious", "critical")]
    if serious:
        raise TestFailure(f"{name}: axe-core finds {serious}")
    print(f"{name}: axe-core: no serious findings ({len(found)} minor)")


def cli(args, *command):
    made = subprocess.run([args.cli, *command, "--program-folder", args.folder], capture_output=True, text=True,
                          timeout=120)
    if made.returncode != 0:
        raise TestFailure(f"vantrix-cli {' '.join(command)}: {made.stderr.strip()}")
    return made.stdout.split("\n")


def run(args, work):
    # A copy of the program folder, since export --html writes into its html/.
    args.folder = os.path.join(work, "Program Folder")  # a blank in the path on purpose
    shutil.copytree(args.program_folder, args.folder)
    axe = open(args.axe, encoding="utf-8").read() if args.axe and os.path.exists(args.axe) else None
    if not axe:
        print("SKIPPED: the accessibility checks (axe-core is not installed)")
    formats = ["--format", "avif,webp,png", "--scale", "1,2"]
    out = os.path.join(work, "out")
    os.mkdir(out)
    pages = {}
    for rollover in ("js", "css"):
        cli(args, "export", os.path.join(args.folder, "Default.dat"), "-o", os.path.join(out, "Go.png"), *formats,
            "--set", "Effect.Type=1", "--rollover", rollover, "--html")
        pages[rollover] = os.path.join(out, f"preview-{rollover}.html")
        shutil.copy(os.path.join(args.folder, "html", "preview.html"), pages[rollover])
    cli(args, "export", os.path.join(args.folder, "Default.dat"), "-o", os.path.join(out, "Still.gif"), "--html")
    pages["still"] = os.path.join(out, "preview-still.html")
    shutil.copy(os.path.join(args.folder, "html", "preview.html"), pages["still"])

    captions = os.path.join(work, "captions.txt")
    with open(captions, "w", encoding="utf-8") as f:
        f.write("Home\nNews\n")
    work_file = os.path.join(args.folder, "Templates", "Green Pill.vtxm")
    for rollover in ("js", "css"):
        cli(args, "batch", work_file, "--captions", captions, "-o", os.path.join(work, f"set-{rollover}"),
            "--set", "Effect.Type=2", "--rollover", rollover, "--format", "avif,png", "--scale", "1,2", "--html")

    with chromium_page(work, "about:blank") as ws:
        for rollover in ("js", "css"):
            name = f"preview ({rollover})"
            open_page(ws, pages[rollover])
            check_swaps(ws, name, [file_url(os.path.join(out, "Go_1.avif"))],
                        [file_url(os.path.join(out, "Go_2.avif"))], rollover == "css")
            check_accessible(ws, name, axe)

            name = f"set ({rollover})"
            folder = os.path.join(work, f"set-{rollover}")
            open_page(ws, os.path.join(folder, "nav.html"))
            check_swaps(ws, name, [file_url(os.path.join(folder, n + "_1.avif")) for n in ("Home", "News")],
                        [file_url(os.path.join(folder, n + "_2.avif")) for n in ("Home", "News")], rollover == "css")
            check_accessible(ws, name, axe)

        open_page(ws, pages["still"])
        wait_for("the still preview", lambda: showing(ws, [file_url(os.path.join(out, "Still.gif"))]), 10)
        check_accessible(ws, "preview (still)", axe)
        open_page(ws, os.path.join(args.folder, "html", "About.html"))
        check_accessible(ws, "About", axe)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--program-folder", required=True)
    parser.add_argument("--axe", default=AXE)
    args = parser.parse_args()
    return run_check("picture pages", "vantrix-picture-", lambda work: run(args, work), TOTAL_SECONDS)


if __name__ == "__main__":
    sys.exit(main())
