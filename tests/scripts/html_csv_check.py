#!/usr/bin/env python3
"""Lists a tree of awkward names with the orvane binary in every output type and encoding and
checks the results with real parsers: Python's csv module for CSV, headless Chromium's DOM for
HTML, and plain decoding for text.

Usage: html_csv_check.py ORVANE_BINARY
Exits non-zero with a message on the first failed check."""

import csv
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import urllib.parse
from html.parser import HTMLParser

ANSI_CODEPAGE = "1252"  # fixed through ORVANE_ANSI_CODEPAGE so the run does not hang on the locale

FILES = [
    "R&D  x.txt",
    "a<b>c.txt",
    "q\"uote'd.txt",
    "semi;colon.csv",
    "tab\there.txt",
    "new\nline.txt",
    "caf\u00e9 \u00dcn\u00efc\u00f6d\u00e9 \u00df.txt",
    "\u0416\u0443\u043a.txt",
    "\u65e5\u672c.txt",
    "<img src=x onerror=alert(1)>.txt",
    "&amp;lt;.txt",
    "%20 #frag?.dat",
    "plain",
]
SUBDIRS = {
    "sub & <dir>": ["inner \"q\" ; file.txt", "<tr><td>x.txt"],
    "  two  blanks": ["\u00e9t\u00e9.txt"],
    "\u65e5\u672c dir": [],
}
ALLOWED_TAGS = {"html", "head", "meta", "title", "style", "body", "table", "colgroup", "col",
                "tbody", "tr", "td", "th", "a"}


def fail(msg):
    print("FAIL: " + msg)
    sys.exit(1)


def build_tree(root):
    """Creates the tree; returns (directories, entries) where directories are absolute paths and
    entries are (directory, name, is_dir)."""
    dirs = [root]
    entries = []
    for name in FILES:
        with open(os.path.join(root, name), "w") as f:
            f.write("x" * len(name))
        entries.append((root, name, False))
    for sub, names in SUBDIRS.items():
        path = os.path.join(root, sub)
        os.mkdir(path)
        dirs.append(path)
        entries.append((root, sub, True))
        for name in names:
            with open(os.path.join(path, name), "w") as f:
                f.write("y")
            entries.append((path, name, False))
    return dirs, entries


def decode(data, encoding):
    if encoding == "utf8":
        if not data.startswith(b"\xef\xbb\xbf"):
            fail("UTF-8 listing without byte-order mark")
        return data[3:].decode("utf-8")
    if encoding == "utf16":
        if not data.startswith(b"\xff\xfe"):
            fail("UTF-16 listing without byte-order mark")
        return data[2:].decode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf") or data.startswith(b"\xff\xfe"):
        fail("ANSI listing with a byte-order mark")
    return data.decode("cp1252")


def ansi_form(text, encoding):
    """What a text becomes in a plain (non-HTML) listing of that encoding."""
    if encoding != "ansi":
        return text
    return text.encode("cp1252", errors="replace").decode("cp1252")


def run_listing(binary, tree, out, kind, encoding, extra=()):
    env = dict(os.environ, ORVANE_ANSI_CODEPAGE=ANSI_CODEPAGE)
    cmd = [binary, "-l", tree, out, "--type", kind, "--encoding", encoding] + list(extra)
    r = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if r.returncode != 0:
        fail("%s exited %d: %s" % (" ".join(cmd), r.returncode, r.stderr.decode(errors="replace")))
    with open(out, "rb") as f:
        data = f.read()
    # CSV keeps a line feed of a name inside its quoted field; check_csv looks at its row ends.
    if b"\n" in data.replace(b"\r\n", b"") and encoding != "utf16" and kind != "csv":
        fail("%s/%s: a line end that is not CR LF" % (kind, encoding))
    return data


def check_csv(data, encoding, dirs, entries):
    text = decode(data, encoding)
    outside = re.sub(r'"(?:[^"]|"")*"', "", text)
    if "\n" in outside.replace("\r\n", ""):
        fail("csv/%s: a row end that is not CR LF" % encoding)
    rows = list(csv.reader(io.StringIO(text, newline=""), delimiter=";"))
    if not rows:
        fail("csv/%s: no rows" % encoding)
    header = rows[0]
    if "Name" not in header:
        fail("csv/%s: no Name title in %r" % (encoding, header))
    width = len(header)
    name_at = header.index("Name")
    ext_at = header.index("Extension") if "Extension" in header else None
    bad = [r for r in rows if len(r) != width]
    if bad:
        fail("csv/%s: rows with another field count than the %d titles: %r" % (encoding, width, bad))
    got_dirs, got_items = [], []
    for r in rows[1:]:
        # A line feed inside a name stays a bare line feed inside its quoted field.
        name = r[name_at]
        if name.startswith("/") and name.endswith("/"):
            got_dirs.append(name)
            continue
        ext = r[ext_at] if ext_at is not None else ""
        got_items.append(name + ("." + ext if ext else ""))
    want_dirs = sorted(ansi_form(d + "/", encoding) for d in dirs)
    want_items = sorted(ansi_form("<%s>" % n if is_dir else n, encoding)
                        for _, n, is_dir in entries)
    if sorted(got_dirs) != want_dirs:
        fail("csv/%s: directory rows %r, expected %r" % (encoding, sorted(got_dirs), want_dirs))
    if sorted(got_items) != want_items:
        fail("csv/%s: item names %r, expected %r" % (encoding, sorted(got_items), want_items))


class DomReader(HTMLParser):
    """Collects the rows of the dumped DOM: for every tr, the texts of its cells."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = set()
        self.bad_attrs = []
        self.rows = []
        self.cell = None
        self.hrefs = []

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        for key, _ in attrs:
            if key.startswith("on") or key in ("src", "style"):
                self.bad_attrs.append((tag, key))
        if tag == "a" and self.cell is not None:
            self.hrefs.extend(v for k, v in attrs if k == "href")
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append(self.cell.replace("\u00a0", " "))
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def dump_dom(page):
    """The page's DOM after loading, serialised by headless Chromium. A page that does not finish
    loading in time (a script it should not hold waits on a dialog, say) fails the check."""
    profile = tempfile.mkdtemp(prefix="orvane-chromium-")
    cmd = ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
           "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--user-data-dir=" + profile, "--dump-dom", "file://" + page]
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=90)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        fail("chromium did not finish loading %s: the page runs something" % page)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    if proc.returncode != 0 or not out:
        fail("chromium could not load %s (exit %d)" % (page, proc.returncode))
    return out.decode("utf-8")


def check_html(page, encoding, dirs, entries):
    reader = DomReader()
    reader.feed(dump_dom(page))
    extra = reader.tags - ALLOWED_TAGS
    if extra:
        fail("html/%s: elements injected into the page: %r" % (encoding, sorted(extra)))
    if reader.bad_attrs:
        fail("html/%s: attributes injected into the page: %r" % (encoding, reader.bad_attrs))
    # Heading rows: program information and column titles (the browser wraps the titles in a row).
    listing = [r for r in reader.rows if r and not (len(r) == 1 and "Generated on" in r[0])]
    titles = listing.pop(0)
    if not titles or titles[0] != "Name":
        fail("html/%s: title row %r" % (encoding, titles))
    want_rows = len(dirs) + len(entries)
    if len(listing) != want_rows:
        fail("html/%s: %d listing rows, expected %d" % (encoding, len(listing), want_rows))
    bad = [r for r in listing if len(r) != len(titles)]
    if bad:
        fail("html/%s: rows with another cell count than the titles: %r" % (encoding, bad))
    got_dirs = sorted(r[0].split("/ (")[0] + "/" for r in listing if r[0].startswith("/"))
    got_items = sorted(r[0] for r in listing if not r[0].startswith("/"))
    want_dirs = sorted(d + "/" for d in dirs)
    want_items = sorted("<%s>" % n if is_dir else n for _, n, is_dir in entries)
    if got_dirs != want_dirs:
        fail("html/%s: directory rows %r, expected %r" % (encoding, got_dirs, want_dirs))
    if got_items != want_items:
        fail("html/%s: item names %r, expected %r" % (encoding, got_items, want_items))


def check_links(page, dirs, entries):
    """Every link target of a listing with links to files and directories names an existing
    file or directory once percent-decoded, and every entry and directory has one."""
    reader = DomReader()
    reader.feed(dump_dom(page))
    want = len(dirs) + len(entries)
    reader.hrefs = [h for h in reader.hrefs if not h.startswith("http")]  # the program's home
    if len(reader.hrefs) != want:
        fail("html links: %d link targets, expected %d" % (len(reader.hrefs), want))
    for href in reader.hrefs:
        path = urllib.parse.unquote(href)
        if not os.path.lexists(path):
            fail("html links: %r does not name a file (%r)" % (href, path))


def check_text(data, encoding, entries):
    text = decode(data, encoding)
    for _, name, _ in entries:
        if "\n" in name or "\t" in name:
            continue
        if ansi_form(name.rsplit(".", 1)[0], encoding) not in text:
            fail("text/%s: %r missing" % (encoding, name))


def main():
    binary = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="orvane-e2e-")
    try:
        tree = os.path.join(work, "tree")
        os.mkdir(tree)
        dirs, entries = build_tree(tree)
        for encoding in ("ansi", "utf8", "utf16"):
            for kind in ("csv", "html", "text"):
                out = os.path.join(work, "out-%s-%s.%s" % (kind, encoding, kind))
                data = run_listing(binary, tree, out, kind, encoding)
                if kind == "csv":
                    check_csv(data, encoding, dirs, entries)
                elif kind == "html":
                    check_html(out, encoding, dirs, entries)
                else:
                    check_text(data, encoding, entries)
                print("ok %s %s" % (kind, encoding))
        page = os.path.join(work, "links.html")
        run_listing(binary, tree, page, "html", "utf8", ["--links", "--dir-links"])
        check_links(page, dirs, entries)
        print("ok html links")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
