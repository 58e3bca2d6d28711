#!/usr/bin/env bash
# Times a plain listing of a 10,000-entry folder on an SMB share over loopback against
# smbclient -c 'recurse; ls' on the same share, in the same run, with a private Samba server on
# 127.0.0.1 (needs smbd, smbclient and python3).
# Usage: bench/smb_listing.sh [build dir]
set -euo pipefail
build=${1:-build}
bin=$(realpath "$build/orvane")
here=$(cd "$(dirname "$0")" && pwd)
runs=${RUNS:-5}
command -v smbclient >/dev/null || { echo "smbclient is not installed (.ci/packages/smb.txt)"; exit 1; }
exec python3 - "$bin" "$here/../tests/scripts" "$runs" <<'PY'
import os, statistics, subprocess, sys, tempfile, time, shutil
binary, helpers, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
sys.path.insert(0, helpers)
from smb_server import SambaServer, find_smbd
if not find_smbd():
    sys.exit("smbd is not installed (.ci/packages/smb.txt)")
work = tempfile.mkdtemp(prefix="orvane-smb-bench-")
try:
    big = os.path.join(work, "share")
    os.makedirs(big)
    for i in range(10000):
        with open(os.path.join(big, "file_%05d.dat" % i), "wb") as f:
            f.write(b"x" * (i * 37 % 4096))
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
    with SambaServer(work, {"share": big}) as srv:
        ours = [binary, "-l", srv.url("share"), os.path.join(work, "out.txt")]
        theirs = ["smbclient", "-N", "-p", str(srv.port), "//127.0.0.1/share", "-c", "recurse; ls"]
        def timed(cmd):
            t = time.perf_counter()
            r = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            if r.returncode != 0:
                sys.exit("%s failed: %s" % (cmd[0], r.stderr.decode()[-300:]))
            return time.perf_counter() - t, r.stdout
        timed(ours); _, out = timed(theirs)  # warm-up: the server's caches, our connection
        rows = sum(1 for l in out.decode("utf-8", "replace").splitlines() if "file_" in l)
        with open(os.path.join(work, "out.txt"), encoding="utf-8-sig") as f:
            ours_rows = sum(1 for l in f if "file_" in l)
        a = [timed(ours)[0] for _ in range(runs)]
        b = [timed(theirs)[0] for _ in range(runs)]
        o, t = statistics.median(a), statistics.median(b)
        print("entries: orvane %d, smbclient %d" % (ours_rows, rows))
        print("orvane listing: %.3f s   smbclient recurse; ls: %.3f s   ratio: %.2f" % (o, t, o / t))
finally:
    shutil.rmtree(work, ignore_errors=True)
PY
