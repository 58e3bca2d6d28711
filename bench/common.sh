# Shared pieces of the benchmark scripts (sourced).

# make_tree DIR ENTRIES: a synthetic tree of ENTRIES entries (folders of 50: one folder and 49
# files of various sizes), made once and reused.
make_tree() {
  [ -f "$1/.done-$2" ] && return
  rm -rf "$1"
  python3 - "$1" "$2" <<'PY'
import os, sys
root, total = sys.argv[1], int(sys.argv[2])
per_dir = 50
made = 0
d = 0
while made < total:
    path = os.path.join(root, "d%03d" % (d // 100), "sub%05d" % d)
    os.makedirs(path, exist_ok=True)
    made += 1
    for i in range(per_dir - 1):
        with open(os.path.join(path, "file_%05d_%d.dat" % (d, i)), "wb") as f:
            f.write(b"x" * (i * 37 % 4096))
        made += 1
    d += 1
PY
  touch "$1/.done-$2"
}
