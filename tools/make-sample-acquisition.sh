#!/usr/bin/env bash
# Writes an acquisition file shaped like the ones the board writes on its SD card (CR LF line ends,
# a period line, a capture-date line, then one line of nine ";"-terminated fields per row:
# temperature, four analog inputs 0..511, four logic inputs).
#   make-sample-acquisition.sh FILE [ROWS] [week]
# "week": a room followed for days at a 2 s period instead (302,400 rows a week): the temperature
# and ANA 1 follow the day, ANA 3 is high in working hours, and ANA 2 jumps for 40 seconds once,
# at 60 % of the file, as a brief event to find in a long recording.
set -euo pipefail
out=${1:?usage: $0 FILE [ROWS] [week]}
rows=${2:-400}
shape=${3:-sample}
awk -v rows="$rows" -v shape="$shape" 'BEGIN {
    ORS = "\r\n"
    print "P\351riode d\047acquisition : 2 (s)"
    print "Capture du 28/02/2007 14:07:35"
    pi = 3.14159265358979
    srand(27)
    event = int(rows * 0.6)
    for (r = 0; r < rows; r++) {
        if (shape == "week") {
            day = (r % 43200) / 43200 # from midnight
            t = 19 + 4 * sin(2 * pi * (day - 0.375)) + rand() * 0.4
            a1 = int(250 + 150 * sin(2 * pi * (day - 0.3)) + rand() * 20)
            a2 = (r >= event && r < event + 20) ? 480 : int(60 + rand() * 15)
            a3 = (day > 0.33 && day < 0.75) ? 400 : 120
            a4 = int(300 + 80 * sin(r / 700))
        } else {
            t = 21.5 + 3 * sin(r / 60)
            a1 = int(256 + 200 * sin(r / 25))
            a2 = int((r * 3) % 512)
            a3 = (int(r / 40) % 2) ? 400 : 120
            a4 = int(300 + 80 * sin(r / 7) * cos(r / 31))
        }
        printf "%.1f;%d;%d;%d;%d;%d;%d;%d;%d;\r\n", t, a1, a2, a3, a4,
               int(r / 8) % 2, int(r / 16) % 2, int(r / 32) % 2, (r % 50) < 10
    }
}' > "$out"
