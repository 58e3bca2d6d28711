#!/usr/bin/env bash
# Rebuilds the compound-document fixtures from the flat ODF sources with LibreOffice:
#   writer.fodt -> writer.doc, calc.fods -> calc.xls, impress.fodp -> impress.ppt
# Needs the Debian packages libreoffice-writer-nogui, libreoffice-calc-nogui and
# libreoffice-impress-nogui. LibreOffice writes the summary strings as VT_LPSTR in code page
# 65001, fills no statistics, and adds a preview picture to the presentation (a property-set
# stream of several hundred kilobytes, kept on purpose: it lives in ordinary sectors).
set -euo pipefail
cd "$(dirname "$0")"
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
convert() {
  HOME="$profile" soffice --headless -env:UserInstallation=file://"$profile" \
    --convert-to "$1" "$2" --outdir . >/dev/null
}
convert doc writer.fodt
convert xls calc.fods
convert ppt impress.fodp
# A plain text file that only pretends to be a document.
printf 'This is plain text, not a compound document.\n' > plain-text.doc
