"""Lists a tree through a private Samba server and from the disk, and checks that both listings
agree in every column the protocol carries; then checks the containers, refused shares, a server
that never answers, and accounts with a password. Arguments: the orvane binary, the source folder.
Exits 77 (skipped) when smbd is not installed or Orvane was built without libsmbclient."""
import glob
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from smb_server import SKIP, SambaServer, find_smbd  # noqa: E402

# Every column but the owner: a share reports a file's owner as a Windows security identifier
# that names no Linux account, so the owner column of a share stays blank.
COLUMNS = "0-10,12-57"
failures = []


def check(name, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + name + ("" if ok else "\n     " + detail))
    if not ok:
        failures.append(name)


def build_tree(root, src):
    os.makedirs(os.path.join(root, "Grüße", "tief"))
    files = {
        "Grüße/naïve café.txt": b"caf\xc3\xa9\n",
        "Grüße/日本語.txt": b"nihongo",
        "Grüße/tief/Ελληνικά.bin": bytes(range(256)) * 40,
        ".hidden.txt": b"hidden",
        "readonly.txt": b"read only",
        "100% #1;x=y&z.txt": b"odd name",
    }
    for rel, data in files.items():
        with open(os.path.join(root, rel), "wb") as f:
            f.write(data)
    big = os.path.join(root, "big")
    os.makedirs(big)
    for i in range(10000):
        with open(os.path.join(big, "f%05d.dat" % i), "wb") as f:
            f.write(b"x" * (i % 97))
    with zipfile.ZipFile(os.path.join(root, "archive.zip"), "w") as z:
        z.writestr("inner/deep.txt", "deep")
        z.writestr("top.txt", "top")
    # Files whose content columns need real formats.
    media = os.path.join(root, "media")
    os.makedirs(media)
    for pattern in ("mp3/lame_vbr.mp3", "avi/xvid.avi", "pe/string_version32.exe",
                    "docs/writer.doc", "mkv/h264_vorbis.mkv", "asf/tagged.wma", "pictures/*"):
        for path in sorted(glob.glob(os.path.join(src, "tests", "data", pattern)))[:3]:
            if os.path.isfile(path):
                shutil.copy(path, media)
    # The server reports the archive bit from the owner's execute bit: give every file the one
    # Orvane shows for local files.
    for dirpath, _, names in os.walk(root):
        for n in names:
            os.chmod(os.path.join(dirpath, n), 0o744)
    os.chmod(os.path.join(root, "readonly.txt"), 0o544)


def run(binary, args, env, timeout=600):
    start = time.time()
    r = subprocess.run([binary] + args, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                       timeout=timeout)
    return r.returncode, r.stderr.decode("utf-8", "replace"), time.time() - start


# The creation time's field in a row of the listing (the columns before it: number, path, name,
# extension, count and size).
CREATION_FIELD = 6


def creation(row):
    fields = row.split(";")
    return fields[CREATION_FIELD] if len(fields) > CREATION_FIELD else ""


def without_creation(row):
    fields = row.split(";")
    if len(fields) > CREATION_FIELD:
        fields[CREATION_FIELD] = ""
    return ";".join(fields)


def listing(binary, target, out, env, extra=()):
    rc, err, _ = run(binary, ["-l", target, out, "--type", "csv", "--columns", COLUMNS,
                              "--path-form", "3", "--archives", "--sort", "name,extension",
                              "--dir-sort", "name"] + list(extra), env)
    with open(out, encoding="utf-8-sig", newline="") as f:
        return rc, err, f.read().split("\r\n")


def silent_server():
    """A server that accepts connections and never says a word."""
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    s.listen(16)
    held = []

    def serve():
        while True:
            try:
                c, _ = s.accept()
            except OSError:
                return
            held.append(c)

    threading.Thread(target=serve, daemon=True).start()
    return s, held


def write_settings(env, text):
    folder = os.path.join(env["XDG_CONFIG_HOME"], "Brenmoor", "Orvane")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "smb.conf"), "w") as f:
        f.write(text)


def main():
    binary, src = sys.argv[1], sys.argv[2]
    if not find_smbd():
        print("SKIP: smbd is not installed (Debian package samba, listed in .ci/packages/smb.txt)")
        return SKIP
    if os.environ.get("ORVANE_HAVE_SMB", "1").upper() in ("0", "OFF", "FALSE", ""):
        print("SKIP: Orvane was built without libsmbclient (Debian package libsmbclient-dev)")
        return SKIP
    work = tempfile.mkdtemp(prefix="orvane-smb-")
    try:
        return checks(binary, src, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def checks(binary, src, work):
    tree = os.path.join(work, "tree")
    build_tree(tree, src)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), LC_ALL="C.UTF-8",
               TZ="UTC")
    env.pop("ORVANE_SMB_PASSWORD", None)
    write_settings(env, "[global]\ntimeout = 5\n")
    with SambaServer(work, {"share": tree}, denied=["locked"], hidden=["admin$"]) as srv:
        # Reading every file once first, so that the access times the comparison sees are settled.
        listing(binary, tree, os.path.join(work, "warm.csv"), env)
        rc_disk, _, disk = listing(binary, tree, os.path.join(work, "disk.csv"), env)
        rc_share, err, share = listing(binary, srv.url("share"), os.path.join(work, "share.csv"),
                                       env)
        check("both listings succeed", rc_disk == 0 and rc_share == 0, err)
        check("the share listing has every row", len(disk) == len(share) and len(disk) > 10000,
              "%d rows on disk, %d on the share" % (len(disk), len(share)))
        # The server's creation time of a file can be a little later than the disk's birth time
        # (a minute later when the tree was made just before the minute turned), so that column
        # may only be later, never earlier or blank.
        diffs = [(a, b) for a, b in zip(disk, share) if without_creation(a) != without_creation(b)]
        check("the share lists like the disk in every column but the owner", not diffs,
              "\n     ".join("disk:  %s\n     share: %s" % d for d in diffs[:4]))
        earlier = [(a, b) for a, b in zip(disk, share) if creation(b) < creation(a)]
        check("no creation time on the share is earlier than on the disk", not earlier,
              "\n     ".join("disk:  %s\n     share: %s" % d for d in earlier[:4]))
        check("media and version columns were read through the share",
              any("lame_vbr" in r and "MPEG" in r for r in share) and
              any("string_version32" in r and r.count(".") >= 3 for r in share),
              "\n".join(r for r in share if "media" in r)[:800])
        check("zip members are listed from the share",
              any("deep;txt" in r for r in share) and any("top;txt" in r for r in share))

        # The Windows form of the same share lists the same rows.
        unc = "\\\\127.0.0.1:%d\\share\\Grüße" % srv.port
        rc, err, unc_rows = listing(binary, unc, os.path.join(work, "unc.csv"), env)
        _, _, url_rows = listing(binary, srv.url("share/Grüße"), os.path.join(work, "u.csv"), env)
        check("\\\\server\\share lists like smb://server/share", rc == 0 and unc_rows == url_rows
              and len(url_rows) > 4, err + repr(unc_rows[:3]) + repr(url_rows[:3]))

        # The server's shares: disk shares only, hidden ones on request, a refused one warned.
        out = os.path.join(work, "server.csv")
        rc, err, rows = listing(binary, srv.url(), out, env, ["--columns", "2", "--recursion", "0"])
        names = [r for r in rows if r.startswith("<")]
        check("a server lists its disk shares as folders", names == ["<locked>", "<share>"],
              repr(names))
        rc, err, rows = listing(binary, srv.url("locked"), out, env, ["--columns", "2"])
        warnings = [l for l in err.splitlines() if "warning" in l]
        check("a refused share is listed empty with one warning", rc == 0 and len(warnings) == 1
              and "locked" in warnings[0] and "denied" in warnings[0], err)
        write_settings(env, "show hidden shares = yes\n")
        rc, err, rows = listing(binary, srv.url(), out, env, ["--columns", "2", "--recursion", "0"])
        check("hidden shares are listed when the settings ask",
              "<admin$>" in rows and not any("IPC$" in r for r in rows), repr(rows[:8])[:300])

        checks_dead_server(binary, work, env, tree)
        checks_account(binary, work, env, tree)
    return 1 if failures else 0


def checks_dead_server(binary, work, env, tree):
    write_settings(env, "timeout = 2\n")
    sock, _ = silent_server()
    port = sock.getsockname()[1]
    sel = os.path.join(work, "dead.ovs")
    with open(sel, "wb") as f:
        f.write(("\ufeff3|smb://127.0.0.1:%d/a\r\n3|smb://127.0.0.1:%d/b\r\n3|%s\r\n"
                 % (port, port, os.path.join(tree, "Grüße"))).encode("utf-8"))
    out = os.path.join(work, "dead.csv")
    rc, err, took = run(binary, ["-l", sel, out, "--type", "csv"], env, timeout=60)
    sock.close()
    warnings = [l for l in err.splitlines() if "warning" in l]
    with open(out, encoding="utf-8-sig") as f:
        text = f.read()
    check("a silent server costs its time limit once and warns once",
          rc == 0 and took < 7.5 and len(warnings) == 1 and "did not answer" in warnings[0],
          "exit %d after %.1f s: %s" % (rc, took, err))
    check("the other folders of the selection are still listed", "naïve café" in text, text[:300])

    # A server whose port swallows connection attempts (its queue is full, so the kernel drops
    # them): libsmbclient alone would wait its own fixed delay, not the user's limit.
    write_settings(env, "timeout = 1\n")
    full = socket.socket()
    full.bind(("127.0.0.1", 0))
    full.listen(0)
    fillers = []
    for _ in range(3):
        c = socket.socket()
        c.setblocking(False)
        try:
            c.connect(full.getsockname())
        except BlockingIOError:
            pass
        fillers.append(c)
    time.sleep(0.3)
    rc, err, took = run(binary, ["-l", "smb://127.0.0.1:%d/x" % full.getsockname()[1], out], env,
                        timeout=60)
    for c in fillers + [full]:
        c.close()
    check("a server that swallows connections costs the time limit of the settings",
          rc == 0 and took < 4.5 and "did not answer" in err, "exit %d after %.1f s: %s"
          % (rc, took, err))


def checks_account(binary, work, env, tree):
    """A share for one account with a password (needs root: the account must exist)."""
    if os.getuid() != 0 or not shutil.which("smbpasswd"):
        print("skip accounts with passwords: they need root and smbpasswd")
        return
    mine = "[mine]\n  path = %s\n  valid users = root\n  guest ok = no\n" % tree
    with SambaServer(work + "/acct", {"share": tree}, extra=mine) as srv:
        conf = os.path.join(srv.work, "smb.conf")
        r = subprocess.run(["smbpasswd", "-c", conf, "-s", "-a", "root"],
                           input=b"s3cret-pw\ns3cret-pw\n", stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT)
        check("the test account is made", r.returncode == 0, r.stdout.decode())
        write_settings(env, "user = root\nworkgroup = ORVANEWG\ntimeout = 5\n")
        out = os.path.join(work, "acct.csv")
        good = dict(env, ORVANE_SMB_PASSWORD="s3cret-pw")
        rc, err, rows = listing(binary, srv.url("mine/Grüße"), out, good, ["--columns", "2"])
        check("the password from ORVANE_SMB_PASSWORD opens the account's share",
              rc == 0 and any("naïve café" in r for r in rows), err + repr(rows[:5]))
        bad = dict(env, ORVANE_SMB_PASSWORD="wrong")
        rc, err, rows = listing(binary, srv.url("mine/Grüße"), out, bad, ["--columns", "2"])
        check("a wrong password lists nothing and warns", rc == 0 and "warning" in err and
              not any("café" in r for r in rows), err)
        for path in glob.glob(os.path.join(env["XDG_CONFIG_HOME"], "**"), recursive=True):
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    check("no file Orvane keeps holds the password " + os.path.basename(path),
                          b"s3cret-pw" not in f.read())


if __name__ == "__main__":
    sys.exit(main())
