#!/usr/bin/env bash
# Writes an acquisition file shaped like the ones the board writes on its SD card (CR LF line ends,
# a period line, a capture-date line, then one line of nine ";"-terminated fields per row:
# temperature, four analog inputs 0..511, four logic inputs). Usage: make-sample-acquisition.sh FILE [ROWS]
set -euo pipefail
out=${1:?usage: $0 FILE [ROWS]}
rows=${2:-400}
awk -v rows="$rows" 'BEGIN {
    ORS = "\r\n"
    print "P\351riode d\047acquisition : 2 (s)"
    print "Capture du 28/02/2007 14:07:35"
    for (r = 0; r < rows; r++) {
        t = 21.5 + 3 * sin(r / 60)
        a1 = int(256 + 200 * sin(r / 25))
        a2 = int((r * 3) % 512)
        a3 = (int(r / 40) % 2) ? 400 : 120
        a4 = int(300 + 80 * sin(r / 7) * cos(r / 31))
        printf "%.1f;%d;%d;%d;%d;%d;%d;%d;%d;\r\n", t, a1, a2, a3, a4,
               int(r / 8) % 2, int(r / 16) % 2, int(r / 32) % 2, (r % 50) < 10
    }
}' > "$out"
