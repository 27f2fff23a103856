#!/usr/bin/env python3
"""The examiner's html page as a browser renders it (headless Chromium): the rows and figures of the samples and of
files that fail against the json report of the same paths, the pictures those that --picture draws, the sorting and
the filter run by the page's own script, and nothing loaded from outside the page.
Usage: html_page_test.py TELVORN_EXAMINE TELVORN_MAKE_SAMPLES"""

import base64, html.parser, json, os, re, shutil, subprocess, sys, tempfile

examiner, make_samples = map(os.path.abspath, sys.argv[1:3])
work = tempfile.mkdtemp(prefix="telvorn-html.")
os.chdir(work)
subprocess.run([make_samples, "samples"], check=True, stdout=subprocess.DEVNULL)
# Failures of each kind, beside paths that html must escape and a byte of no UTF-8.
os.makedirs(b"odd")
shutil.copy("samples/straits.scn", b"odd/caf\xe9 <b>&amp;\"'.scn")
shutil.copy("samples/straits.scn", "odd/straits-as-map.map")
with open("samples/archipelago.map", "rb") as whole, open("odd/cut-short.map", "wb") as cut:
    cut.write(whole.read(40))
paths = ["odd", "samples", "missing.map"]  # failures amid the others, to be sorted after them
report = subprocess.run([examiner, "--format", "json", *paths], capture_output=True)
page = subprocess.run([examiner, "--format", "html", "--picture", "pictures", *paths], capture_output=True)
entries = json.loads(report.stdout)
assert report.returncode == page.returncode == 1 and page.stderr == report.stderr, page.stderr
assert report.stderr.endswith(b"3 of 7 files could not be examined\n"), report.stderr

# Nothing outside the page: every address in it is a data: URI or a place in the page.
text = page.stdout.decode()
addresses = r"""\b(?:src|href|srcset|action|poster)\s*=\s*["']?([^"'\s>]*)|url\(\s*["']?([^"')]*)"""
for address in re.findall(addresses, text):
    assert any(part.startswith(("data:", "#")) for part in address if part), address
assert not re.search(r"@import|<(link|iframe|object|embed|base)\b", text, re.I)

# The page's own script, clicked as a user clicks, and what the browser had to load, written into the page.
CHECK = """<script>addEventListener("load", () => {
  const all = (selector, read) => Array.from(document.querySelectorAll(selector), read);
  const order = () => all("tbody tr:not([hidden]) td:first-child", (cell) => +cell.textContent);
  const sorted = () => all("th[aria-sort]", (th) => [th.dataset.key, th.getAttribute("aria-sort")]);
  const click = () => document.querySelector('th[data-key="totalSquares"] button').click();
  const seen = {resources: performance.getEntriesByType("resource").map((r) => r.name),
    pictures: all("img", (i) => i.complete && i.naturalWidth === +i.getAttribute("width"))};
  click(); Object.assign(seen, {ascending: order(), sortedUp: sorted()});
  click(); Object.assign(seen, {descending: order(), sortedDown: sorted()});
  const filter = document.getElementById("filter");
  filter.value = "STRAITS"; filter.dispatchEvent(new Event("input"));
  Object.assign(seen, {filtered: order(), shown: document.getElementById("shown").textContent});
  document.body.insertAdjacentHTML("beforeend", `<pre id="seen">${JSON.stringify(seen)}</pre>`);
});</script>"""


def rendered(markup):
    with open("page.html", "w", encoding="utf-8") as out:
        out.write(markup)
    browser = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
               "--disable-component-update", "--disable-sync", "--no-first-run",
               f"--user-data-dir={tempfile.mkdtemp(dir=work)}"]
    return subprocess.run([*browser, "--dump-dom", f"file://{work}/page.html"], capture_output=True, check=True,
                          text=True, timeout=120).stdout


class Page(html.parser.HTMLParser):
    """What the rendered page shows: its heading and the text of the element "seen", its columns' keys by place,
    and each row's cells' texts and picture (src, alt)."""
    def __init__(self, dom):
        super().__init__()
        self.texts, self.keys, self.rows, self.pictures = {"summary": "", "seen": ""}, {}, [], []
        self.into, self.in_body = None, False  # the text being read: a key of texts, or a cell of the last row
        self.feed(dom)

    def handle_starttag(self, tag, attributes):
        a = dict(attributes)
        self.in_body |= tag == "tbody"
        if tag == "th" and "data-column" in a:
            self.keys[int(a["data-column"])] = a.get("data-key")
        if tag == "tr" and self.in_body:
            self.rows.append([])
            self.pictures.append(None)
        if tag in ("td", "th") and self.in_body:
            self.rows[-1].append("")
            self.into = len(self.rows[-1]) - 1
        if tag == "img":
            self.pictures[-1] = (a["src"], a["alt"])
        if a.get("id") in self.texts:
            self.into = a["id"]

    def handle_endtag(self, tag):
        self.in_body &= tag != "tbody"
        if tag in ("td", "th", "h1", "pre"):
            self.into = None

    def handle_data(self, data):
        if isinstance(self.into, str):
            self.texts[self.into] += data
        elif self.into is not None:
            self.rows[-1][self.into] += data


def shown(entry, key):
    """A figure as the page shows it: the json's, a player's the sum of the units but City, "-" for none."""
    name, _, member = key.partition(".")
    value = entry[name]
    if name == "playerUnits" and value is not None:
        value = sum(count for unit, count in value[member].items() if unit != "City")
    elif member and value is not None:
        value = value[member]
    return "-" if value is None else ("YES" if value else "NO") if isinstance(value, bool) else str(value)


shown_page = Page(rendered(text))
version = subprocess.run([examiner, "--version"], capture_output=True, text=True).stdout.split()[-1]
assert shown_page.texts["summary"] == f"Telvorn {version}: 7 files, 3 failed", shown_page.texts
assert [row[1] for row in shown_page.rows] == [entry["path"] for entry in entries], shown_page.rows
for number, (row, picture, entry) in enumerate(zip(shown_page.rows, shown_page.pictures, entries), 1):
    assert row[0] == str(number), row
    if entry["status"] == 0:
        figures = {key: row[column] for column, key in shown_page.keys.items() if key}
        assert figures == {key: shown(entry, key) for key in figures}, (figures, entry)
        name = os.path.basename(os.fsdecode(bytes.fromhex(entry["pathBytes"] or entry["path"].encode().hex())))
        with open(f"pictures/{name}.png", "rb") as drawn:
            assert picture[0] == "data:image/png;base64," + base64.b64encode(drawn.read()).decode(), name
        assert f"{entry['waterMassCount']} water and {entry['landMassCount']} land masses" in picture[1], picture
    else:
        assert row[2:4] == [shown(entry, "kind"), str(entry["status"])] and picture is None, row
        assert row[4] == "".join(f"{label}{entry[key]}" for label, key in
                                 (("", "message"), ("reason: ", "reason"), ("hint: ", "hint")) if entry[key]), row

seen = json.loads(Page(rendered(text + CHECK)).texts["seen"])
assert seen["resources"] == [] and seen["pictures"] == [True] * 4, seen
squares = sorted((entry["totalSquares"], number) for number, entry in enumerate(entries, 1) if entry["status"] == 0)
failed = [number for number, entry in enumerate(entries, 1) if entry["status"] != 0]
assert seen["ascending"] == [number for _, number in squares] + failed, seen
assert seen["descending"] == [number for _, number in sorted(squares, key=lambda s: -s[0])] + failed, seen
assert (seen["sortedUp"], seen["sortedDown"]) == ([["totalSquares", "ascending"]], [["totalSquares", "descending"]])
straits = [number for number, entry in enumerate(entries, 1) if "straits" in entry["path"].lower()]
assert seen["filtered"] == [number for number in seen["descending"] if number in straits], seen
assert seen["shown"] == f"{len(straits)} of 7 shown", seen
shutil.rmtree(work)
print(f"html page: {len(entries)} entries as the json report has them, sorted and filtered in Chromium")
