#!/usr/bin/python3
"""Loads a generated roll-over page in headless Chromium and checks that the
button shows its first picture, swaps to the second while the pointer is over
it and back when the pointer leaves.

    rollover_test.py --generator <make_rollover_page> --templates <data/html>
                     [--css] [--screenshot out.png]
    rollover_test.py --page PAGE --first PICTURE --second PICTURE --width N
                     [--screenshot out.png]

The first form makes its own page; the second checks a page that was made
elsewhere (by the desktop program, say). With --css the page is the one
without a script, and the browser runs with JavaScript switched off: the link
must also show the second picture when it is reached with the Tab key, and
carry the caption as its text.

The browser is driven through its DevTools protocol over a WebSocket written
here with the standard library alone. Everything runs on the loopback
interface, ends by itself within its deadlines and removes its temporary
folders. Without /usr/bin/chromium the test is skipped (exit 0).
"""

import argparse
import base64
import contextlib
import hashlib
import json
import os
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

CHROMIUM = "/usr/bin/chromium"
WS_GUID = b"258EAFA5-E914-47DA-95CA-C5AB0DC85B11"
TOTAL_SECONDS = 60  # a safety net; a normal run takes a few seconds


class TestFailure(Exception):
    pass


class DevToolsSocket:
    """The client side of a WebSocket (RFC 6455), text messages only."""

    def __init__(self, url, timeout):
        parts = urllib.parse.urlsplit(url)
        self.sock = socket.create_connection((parts.hostname, parts.port), timeout=timeout)
        key = base64.b64encode(os.urandom(16))
        request = (
            f"GET {parts.path} HTTP/1.1\r\nHost: {parts.hostname}:{parts.port}\r\n"
            "Upgrade: websocket\r\nConnection: Upgrade\r\n"
            f"Sec-WebSocket-Key: {key.decode()}\r\nSec-WebSocket-Version: 13\r\n\r\n"
        )
        self.sock.sendall(request.encode())
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise TestFailure("DevTools closed the connection during the handshake")
            head += chunk
        head, self.pending = head.split(b"\r\n\r\n", 1)
        lines = head.decode("latin-1").split("\r\n")
        if " 101 " not in lines[0] + " ":
            raise TestFailure("WebSocket handshake refused: " + lines[0])
        accept = base64.b64encode(hashlib.sha1(key + WS_GUID).digest()).decode()
        if not any(l.lower().startswith("sec-websocket-accept:") and l.split(":", 1)[1].strip() == accept
                   for l in lines[1:]):
            raise TestFailure("WebSocket handshake: wrong accept key")
        self.next_id = 0

    def close(self):
        try:
            self.sock.close()
        except OSError:
            pass

    def _read(self, n):
        while len(self.pending) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise TestFailure("DevTools connection closed")
            self.pending += chunk
        data, self.pending = self.pending[:n], self.pending[n:]
        return data

    def _send_frame(self, opcode, payload):
        header = bytes([0x80 | opcode])
        n = len(payload)
        if n < 126:
            header += bytes([0x80 | n])
        elif n < 65536:
            header += bytes([0x80 | 126]) + struct.pack(">H", n)
        else:
            header += bytes([0x80 | 127]) + struct.pack(">Q", n)
        mask = os.urandom(4)
        masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
        self.sock.sendall(header + mask + masked)

    def _receive_message(self):
        message = b""
        while True:
            b0, b1 = self._read(2)
            opcode, n = b0 & 0x0F, b1 & 0x7F
            if n == 126:
                n = struct.unpack(">H", self._read(2))[0]
            elif n == 127:
                n = struct.unpack(">Q", self._read(8))[0]
            mask = self._read(4) if b1 & 0x80 else None
            payload = self._read(n)
            if mask:
                payload = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
            if opcode == 0x8:
                raise TestFailure("DevTools closed the WebSocket")
            if opcode == 0x9:
                self._send_frame(0xA, payload)
                continue
            if opcode in (0x0, 0x1, 0x2):
                message += payload
                if b0 & 0x80:
                    return json.loads(message.decode("utf-8"))

    def call(self, method, **params):
        self.next_id += 1
        self._send_frame(0x1, json.dumps({"id": self.next_id, "method": method, "params": params}).encode())
        while True:
            reply = self._receive_message()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise TestFailure(f"{method}: {reply['error']}")
                return reply.get("result", {})
            # Events are of no interest here.


def wait_for(what, probe, seconds):
    deadline = time.monotonic() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure("timed out waiting for " + what)
        time.sleep(0.05)


IMAGE_STATE = """(function () {
  var img = document.images[0];
  if (!img || document.readyState !== "complete") return null;
  var r = img.getBoundingClientRect();
  return {id: img.id, src: img.src, complete: img.complete, width: img.naturalWidth,
          x: r.left, y: r.top, w: r.width, h: r.height};
})()"""


VISIBLE_STATE = """(function () {
  if (document.readyState !== "complete") return null;
  var shown = [];
  for (var i = 0; i < document.images.length; ++i) {
    var img = document.images[i], r = img.getBoundingClientRect();
    if (getComputedStyle(img).display !== "none" && r.width > 0 && img.complete && img.naturalWidth === 64)
      shown.push({src: img.src, x: r.left, y: r.top, w: r.width, h: r.height});
  }
  var link = document.querySelector("a");
  return {shown: shown, focused: document.activeElement === link, scripts: document.scripts.length,
          alts: Array.prototype.map.call(link.querySelectorAll("img"), function (i) { return i.alt; }),
          tab: link.tabIndex};
})()"""


def visible_state(ws):
    result = ws.call("Runtime.evaluate", expression=VISIBLE_STATE, returnByValue=True)
    return result.get("result", {}).get("value")


def shows(ws, url):
    state = visible_state(ws)
    return state if state and [s["src"] for s in state["shown"]] == [url] else None


def check_css_page(ws, first_url, second_url):
    state = wait_for("the first picture", lambda: shows(ws, first_url), 10)
    if state["scripts"] != 0:
        raise TestFailure(f"the CSS page has {state['scripts']} scripts")
    if state["alts"] != ["Go", "Go"] or state["tab"] != 0:
        raise TestFailure(f"the link's pictures say {state['alts']}, tab index {state['tab']}")
    box = state["shown"][0]
    cx, cy = box["x"] + box["w"] / 2, box["y"] + box["h"] / 2
    ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=5, y=5)
    ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=cx, y=cy)
    wait_for("the mouse-over picture", lambda: shows(ws, second_url), 5)
    ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=5, y=5)
    wait_for("the first picture again", lambda: shows(ws, first_url), 5)
    for kind in ("rawKeyDown", "keyUp"):
        ws.call("Input.dispatchKeyEvent", type=kind, key="Tab", code="Tab", windowsVirtualKeyCode=9)
    state = wait_for("the picture of the focused link", lambda: shows(ws, second_url), 5)
    if not state["focused"]:
        raise TestFailure("the Tab key did not reach the link")


def image_state(ws):
    result = ws.call("Runtime.evaluate", expression=IMAGE_STATE, returnByValue=True)
    return result.get("result", {}).get("value")


def devtools_page_socket(profile, page_url, timeout):
    port_file = os.path.join(profile, "DevToolsActivePort")
    wait_for("the DevTools port", lambda: os.path.exists(port_file) and open(port_file).read().strip(), timeout)
    port = int(open(port_file).read().split()[0])
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))

    def page_target():
        try:
            with opener.open(f"http://127.0.0.1:{port}/json/list", timeout=2) as reply:
                targets = json.load(reply)
        except OSError:
            return None
        return next((t for t in targets if t.get("type") == "page" and t.get("url") == page_url), None)

    target = wait_for("the page target", page_target, timeout)
    return DevToolsSocket(target["webSocketDebuggerUrl"], timeout)


def file_url(path):
    return urllib.parse.urljoin("file:", urllib.request.pathname2url(os.path.abspath(path)))


@contextlib.contextmanager
def chromium_page(work, page_url, scripts=True):
    """Headless Chromium on page_url (with JavaScript switched off unless
    scripts); yields the page's DevTools socket and ends the browser whatever
    happens."""
    profile = os.path.join(work, "profile")
    os.mkdir(profile)
    command = [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--no-proxy-server", "--disable-dev-shm-usage", "--window-size=800,600",
               "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
               "--user-data-dir=" + profile]
    if not scripts:
        command.append("--blink-settings=scriptEnabled=false")
    command.append(page_url)
    log = open(os.path.join(work, "chromium.log"), "wb")
    browser = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
    ws = None
    try:
        ws = devtools_page_socket(profile, page_url, 15)
        yield ws
    finally:
        if ws:
            ws.close()
        try:
            os.killpg(browser.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            browser.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(browser.pid, signal.SIGKILL)
            browser.wait(timeout=5)
        log.close()


def run(args, work):
    if args.page:
        page, first, second, width = args.page, args.first, args.second, args.width
    else:
        folder = os.path.join(work, "Program Folder")  # a blank in the path on purpose
        made = subprocess.run([args.generator, args.templates, folder] + (["css"] if args.css else []),
                              capture_output=True, text=True, timeout=30)
        if made.returncode != 0:
            raise TestFailure("page generator failed: " + made.stderr.strip())
        page = made.stdout.strip()
        first, second = os.path.join(folder, "Images", "Go.bmp"), os.path.join(folder, "Images", "Go_2.bmp")
        width = 64
    page_url, first_url, second_url = file_url(page), file_url(first), file_url(second)

    with chromium_page(work, page_url, scripts=not args.css) as ws:
        if args.css:
            check_css_page(ws, first_url, second_url)
            return

        state = wait_for("the first picture", lambda: (lambda s: s if s and s["complete"] else None)(image_state(ws)), 10)
        if state["src"] != first_url or state["width"] != width:
            raise TestFailure(f"first picture not shown: {state}")
        if not state["id"].startswith("bt_"):
            raise TestFailure(f"button element id is {state['id']!r}")
        cx, cy = state["x"] + state["w"] / 2, state["y"] + state["h"] / 2
        outside = (5, 5)
        if state["x"] <= outside[0] <= state["x"] + state["w"] and state["y"] <= outside[1] <= state["y"] + state["h"]:
            raise TestFailure(f"the button is not centred: {state}")

        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=outside[0], y=outside[1])
        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=cx, y=cy)
        wait_for("the mouse-over picture",
                 lambda: (lambda s: s["src"] == second_url and s["complete"] and s["width"] == width)(image_state(ws)), 5)

        if args.screenshot:
            shot = ws.call("Page.captureScreenshot", format="png")
            with open(args.screenshot, "wb") as f:
                f.write(base64.b64decode(shot["data"]))

        ws.call("Input.dispatchMouseEvent", type="mouseMoved", x=outside[0], y=outside[1])
        wait_for("the first picture again", lambda: image_state(ws)["src"] == first_url, 5)


def run_check(name, prefix, check, seconds=TOTAL_SECONDS):
    """Runs check(work folder) under a deadline in a fresh folder it removes
    afterwards; prints the outcome and returns the exit status. Skipped
    (status 0) without Chromium."""
    if not os.path.exists(CHROMIUM):
        print("SKIPPED: chromium is not installed")
        return 0

    def out_of_time(signum, frame):
        raise TestFailure(f"no result within {seconds} s")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(seconds)
    work = tempfile.mkdtemp(prefix=prefix)
    try:
        check(work)
    except (TestFailure, OSError, subprocess.SubprocessError) as e:
        print(f"FAILED: {e}")
        log = os.path.join(work, "chromium.log")
        if os.path.exists(log):
            sys.stdout.write(open(log, errors="replace").read()[-2000:])
        print(f"{name}: 0 passed, 1 failed")
        return 1
    finally:
        signal.alarm(0)
        shutil.rmtree(work, ignore_errors=True)
    print(f"{name}: 1 passed, 0 failed")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--generator")
    parser.add_argument("--templates")
    parser.add_argument("--page")
    parser.add_argument("--first")
    parser.add_argument("--second")
    parser.add_argument("--width", type=int)
    parser.add_argument("--screenshot")
    parser.add_argument("--css", action="store_true")
    args = parser.parse_args()
    if not (args.page and args.first and args.second and args.width) and not (args.generator and args.templates):
        parser.error("give --generator and --templates, or --page, --first, --second and --width")
    return run_check(f"rollover{' (css)' if args.css else ''}", "vantrix-browser-", lambda work: run(args, work))

if __name__ == "__main__":
    sys.exit(main())
