#!/usr/bin/env python3
"""Opens a report's index.html from disk in headless Chromium and checks what a modder would see:
no console errors, every image loaded, nothing fetched from outside the folder, the summary's counts equal
to manifest.json's, contents that lead somewhere, a models table that sorts, a map that names what is pointed at.

Talks to the browser over its DevTools pipe (file descriptors 3 and 4, messages ended by NUL), so it
needs nothing but Python and Chromium. Usage: check_page.py REPORT_FOLDER [CHROMIUM]
Exit status: 0 pass, 1 fail, 77 when no Chromium is installed (the test is then skipped)."""
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time


class Browser:
    def __init__(self, executable, profile):
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()

        def wire_pipes():
            # Copies first, in case a pipe already sits on descriptor 3 or 4.
            reading, writing = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self.process = subprocess.Popen(
            [executable, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
             "--no-first-run", "--no-default-browser-check", "--user-data-dir=" + profile, "about:blank"],
            pass_fds=(3, 4), preexec_fn=wire_pipes,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def send(self, method, params=None, session=None, timeout=30):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.receive(timeout)
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(method + ": " + json.dumps(reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def receive(self, timeout):
        deadline = time.time() + timeout
        while b"\0" not in self.buffer:
            left = deadline - time.time()
            if left <= 0 or not select.select([self.from_browser], [], [], left)[0]:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def wait_for(self, method, timeout=60):
        for event in self.events:
            if event.get("method") == method:
                return event
        deadline = time.time() + timeout
        while True:
            event = self.receive(max(0.1, deadline - time.time()))
            self.events.append(event)
            if event.get("method") == method:
                return event

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()


PAGE_STATE = """JSON.stringify({
  images: Array.from(document.images).map(i => ({src: i.getAttribute('src'), loaded: i.complete && i.naturalWidth > 0})),
  counts: Object.fromEntries(Array.from(document.querySelectorAll('[data-count]'))
                                   .map(e => [e.dataset.count, Number(e.textContent)])),
  scripts: Array.from(document.scripts).map(s => s.getAttribute('src')),
  outside: Array.from(document.querySelectorAll('script[src], link[href], img[src], a[href]'))
    .map(e => e.getAttribute('src') || e.getAttribute('href'))
    .filter(u => /^[a-z]+:/i.test(u) || u.startsWith('/'))
})"""


# What the page does for a modder: contents that lead somewhere, a models table that sorts by a number
# column both ways, and the map naming the model under the pointer.
PAGE_BEHAVIOUR = """(() => {
  const broken = Array.from(document.querySelectorAll('nav a'))
    .filter(a => !document.getElementById(decodeURIComponent(a.getAttribute('href').slice(1)))).map(a => a.getAttribute('href'));
  const table = document.getElementById('models-table');
  const column = table ? Array.from(table.tHead.rows[0].cells).findIndex(c => c.textContent === 'Triangles') : -1;
  const values = () => Array.from(table.tBodies[0].rows).map(r => Number(r.cells[column].dataset.v));
  let ascending = null, descending = null;
  if (table && column >= 0) {
    table.tHead.rows[0].cells[column].click();
    const up = values();
    ascending = up.every((v, i) => i === 0 || up[i - 1] <= v);
    table.tHead.rows[0].cells[column].click();
    const down = values();
    descending = down.every((v, i) => i === 0 || down[i - 1] >= v) && down[0] > down[down.length - 1];
  }
  let named = null, expected = null;
  const image = document.getElementById('map-img');
  if (image && window.veldrinMap && veldrinMap.spots.length) {
    image.scrollIntoView();
    const box = image.getBoundingClientRect();
    const s = veldrinMap.spots.length / 3 >> 1;
    const x = veldrinMap.spots[3 * s], y = veldrinMap.spots[3 * s + 1];
    expected = veldrinMap.names[veldrinMap.spots[3 * s + 2]];
    image.dispatchEvent(new MouseEvent('mousemove', {bubbles: true,
      clientX: box.left + (x + 0.5) * box.width / image.naturalWidth, clientY: box.top + (y + 0.5) * box.height / image.naturalHeight}));
    const tip = document.getElementById('map-tip');
    named = !tip.hidden && tip.textContent.split(', ').some(t => t === expected || t.startsWith(expected + ' and '));
  }
  return JSON.stringify({broken, rows: table ? table.tBodies[0].rows.length : null, ascending, descending, named, expected,
    spots: window.veldrinMap ? veldrinMap.spots.length / 3 : null});
})()"""


def console_errors(events):
    errors = []
    for e in events:
        method, params = e.get("method"), e.get("params", {})
        if method == "Runtime.exceptionThrown":
            errors.append(params["exceptionDetails"].get("text", "exception"))
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            errors.append(" ".join(str(a.get("value", "")) for a in params.get("args", [])))
        elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
            errors.append(params["entry"].get("text", "") + " " + params["entry"].get("url", ""))
    return errors


def main():
    folder = os.path.abspath(sys.argv[1])
    executable = sys.argv[2] if len(sys.argv) > 2 else (shutil.which("chromium") or shutil.which("chromium-browser"))
    if not executable:
        print("chromium is not installed; scripts/test.sh installs it")
        return 77
    with open(os.path.join(folder, "manifest.json"), encoding="utf-8") as f:
        manifest = json.load(f)

    failures = []
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(executable, profile)
        try:
            target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
            session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
            for domain in ("Runtime.enable", "Log.enable", "Page.enable"):
                browser.send(domain, session=session)
            browser.send("Page.navigate", {"url": "file://" + os.path.join(folder, "index.html")}, session=session)
            browser.wait_for("Page.loadEventFired")
            state = json.loads(browser.send("Runtime.evaluate", {"expression": PAGE_STATE, "returnByValue": True},
                                            session=session)["result"]["value"])
            behaviour = json.loads(browser.send("Runtime.evaluate", {"expression": PAGE_BEHAVIOUR, "returnByValue": True},
                                                session=session)["result"]["value"])
        finally:
            browser.close()

    failures += ["console: " + text for text in console_errors(browser.events)]
    failures += ["image did not load: " + i["src"] for i in state["images"] if not i["loaded"]]
    if not state["images"]:
        failures.append("the page shows no image")
    # Scripts only from files of the folder: nothing inline, nothing from elsewhere.
    for src in state["scripts"]:
        if not src or "://" in src or src.startswith("/") or ".." in src.split("/"):
            failures.append("the page carries a script that is not a file of its folder: %r" % src)
    failures += ["the page reaches outside its folder: " + u for u in state["outside"]]
    for key, value in manifest["counts"].items():
        if state["counts"].get(key) != value:
            failures.append("count %s: page shows %s, manifest.json says %s" % (key, state["counts"].get(key), value))

    failures += ["contents link leads nowhere: " + link for link in behaviour["broken"]]
    if behaviour["rows"] is not None:
        if behaviour["rows"] != manifest["counts"]["models"]:
            failures.append("models table: %d rows, manifest.json counts %d models" % (behaviour["rows"], manifest["counts"]["models"]))
        if not behaviour["ascending"] or not behaviour["descending"]:
            failures.append("models table does not sort by triangles both ways")
    if behaviour["spots"] is not None:
        if behaviour["spots"] != manifest["counts"]["placements"]:
            failures.append("map: %d named spots, manifest.json counts %d placements" % (behaviour["spots"], manifest["counts"]["placements"]))
        if behaviour["spots"] and not behaviour["named"]:
            failures.append("map: pointing at a placement of %s does not name it" % behaviour["expected"])

    for failure in failures:
        print("FAIL", failure)
    print("%d image(s) on the page, counts %s" % (len(state["images"]), json.dumps(state["counts"])))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
