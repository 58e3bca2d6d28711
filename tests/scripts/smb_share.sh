#!/usr/bin/env bash
# End-to-end check of SMB network places against a private Samba server on 127.0.0.1 (skipped
# with a message when smbd is not installed). Arguments: the orvane binary, the source folder.
set -euo pipefail
bin=${1:?orvane binary}
src=${2:?source folder}
exec python3 "$src/tests/scripts/smb_share_check.py" "$bin" "$src"
