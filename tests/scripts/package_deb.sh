#!/usr/bin/env bash
# The Debian package, only with ORVANE_PACKAGE_TEST=1 (it installs into the system, so it needs
# root, dpkg-dev, fakeroot and lintian): cpack -G DEB, lintian without errors, apt install of the
# file, a listing with the installed program, and removal without leftovers.
set -u
if [ "${ORVANE_PACKAGE_TEST:-0}" != 1 ]; then
  echo "skipped: set ORVANE_PACKAGE_TEST=1 to build and install the Debian package"
  exit 77
fi
bin=$(realpath "$1")
build=$(dirname "$bin")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; fail=1; fi; }

if dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q 'ok installed'; then
  echo "orvane is installed already; remove it first"
  exit 1
fi
(cd "$tmp" && cpack -G DEB -B "$tmp" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1)
deb=$(ls "$tmp"/orvane_*.deb 2>/dev/null | head -1)
check "cpack -G DEB builds the package" "[ -n '$deb' ]" || { cat "$tmp/cpack.log"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
check "the dependencies come from the linked libraries" "echo '$depends' | grep -q 'libc6 (>=' && echo '$depends' | grep -q libglib2.0-0"

lintian --tag-display-limit 0 "$deb" >"$tmp/lintian.log" 2>&1
sed 's/^/  lintian: /' "$tmp/lintian.log"
check "lintian reports no errors" "! grep -q '^E:' '$tmp/lintian.log'"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1
check "apt installs the package file" "[ $? -eq 0 ]" || cat "$tmp/apt.log"
mkdir -p "$tmp/tree" && printf 'x' >"$tmp/tree/a.txt"
XDG_CONFIG_HOME="$tmp/config" /usr/bin/orvane /o "Text with hashes" -l "$tmp/tree" - >"$tmp/out.txt" 2>/dev/null
check "the installed program lists with its data" "[ $? -eq 0 ] && grep -q '9dd4e461268c8034f5c8564e155c67a6' '$tmp/out.txt'"
check "the file types are registered" "grep -q 'x-orvane-selection' /usr/share/mime/globs2"

files=$(dpkg -L orvane | grep -v '^/\.$')
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq orvane >"$tmp/apt.log" 2>&1
check "apt removes the package" "[ $? -eq 0 ]"
left=""
for f in $files; do
  [ -f "$f" ] && left+=" $f"
done
check "no file of the package is left behind" "[ -z '$left' ] && [ ! -e /usr/share/orvane ] && [ ! -e /usr/share/doc/orvane ] && ! grep -q 'x-orvane' /usr/share/mime/globs2"

[ $fail -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $fail
