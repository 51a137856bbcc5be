#!/bin/sh
# Fails when a word of the manual PDF passes the right edge of the text area
# (20 mm margins): every word box from pdftotext -bbox must end within it.
#   manual_margins.sh manqvx.pdf
set -eu
pdftotext -bbox "$1" - | awk '
  /<page / { match($0, /width="[0-9.]+"/); width = substr($0, RSTART + 7, RLENGTH - 8); ++page }
  /<word / {
    match($0, /xMax="[0-9.]+"/); x = substr($0, RSTART + 6, RLENGTH - 7)
    limit = width - 20 / 25.4 * 72 + 1
    if (x + 0 > limit) { w = $0; sub(/.*">/, "", w); sub(/<.*/, "", w); printf "page %d: \"%s\" ends at %.1f, past %.1f\n", page, w, x, limit; bad = 1 }
  }
  END { exit bad }'
