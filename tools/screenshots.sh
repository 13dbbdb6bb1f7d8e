#!/usr/bin/env bash
# Makes the README's screenshots from the real program: starts it under Xvfb with the board
# simulator on a pseudo-terminal, drives it with the mouse and keyboard like a person would, and
# captures its windows into docs/screenshots/. Run it again after a visible change.
#   tools/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
build=${1:-build}
out=$repo/docs/screenshots

need=()
for p in xvfb xdotool imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi
cmake -S . -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target platine platine-sim >/dev/null

# The program keeps param.ini beside itself: run a copy in a scratch directory.
work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
cp "$build/platine" "$work/"
tools/make-sample-acquisition.sh "$work/acquisition.txt" 400
tools/make-sample-acquisition.sh "$work/longue.txt" 43200 # a day at a 2 s period

"$build/platine-sim" --port 3 --ini "$work/param.ini" > "$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q 'COM3=' "$work/param.ini" 2>/dev/null && break; sleep 0.1; done
if ! grep -q 'COM3=' "$work/param.ini" 2>/dev/null; then
  echo "the board simulator did not start:" >&2; cat "$work/sim.log" >&2; exit 1
fi
# A schedule as the last "Programmer" left it.
for i in 0 1 2 3 4 5; do
  times=(08:00:00 12:00:00 13:30:00 18:00:00 21:00:00 23:30:00)
  printf '[txt%d]\r\nvaleur=%s\r\n' "$i" "${times[$i]}" >> "$work/param.ini"
done
printf '[txt6]\r\nvaleur=10\r\n[cmb0]\r\nvaleur=8\r\n[Port COM]\r\nvaleur=3\r\n' >> "$work/param.ini"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1400x1000x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
(cd "$work" && LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 ./platine >/dev/null 2>&1) &
pids+=($!)

main=$(xdotool search --sync --name '^Acquisition de donn')
xdotool windowmove "$main" 0 0
sleep 1
mkdir -p "$out"

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.4; }
menu() { # menu bar x, number of Down presses
  click "$main" "$1" 8
  for _ in $(seq "$2"); do xdotool key Down; done
  xdotool key Return; sleep 0.5
}
shot() { import -window "$1" "$out/$2"; echo "wrote docs/screenshots/$2"; }

# Clock and board display, with the port open so the simulator's clock read-out shows, after the
# clock was set.
menu 100 3            # Paramètrage → Affichage heure platine
menu 100 2            # Paramètrage → Mise à l'heure platine
click "$main" 326 82  # Ouverture port
click "$main" 538 469 # Programmation: the clock sent, the status line says where
sleep 2.5
shot "$main" main-horloge.png

menu 100 1            # Paramètrage → Programmation
shot "$main" main-programmation.png

# The viewer with the sample file: analog full view, analog zoom, logic full view.
click "$main" 187 8   # Graphique
graph=$(xdotool search --sync --name '^Graphique des acquisitions')
xdotool windowmove "$graph" 0 0
sleep 1
click "$graph" 82 498 # Ouvrir fichier
sleep 1
xdotool type --delay 20 "$work/acquisition.txt"
xdotool key Return
sleep 1
click "$graph" 82 532 # Tracer
xdotool mousemove --window "$graph" 420 150; sleep 0.5
shot "$graph" graph-analogique.png
click "$graph" 420 150 # zoom on the row under the mouse
xdotool mousemove --window "$graph" 500 200; sleep 0.5
shot "$graph" graph-zoom.png
click "$graph" 31 464 # Entrées Logiques
click "$graph" 82 532 # Tracer
shot "$graph" graph-logique.png

# A day-long recording: the overview of the whole file, and a click on it to move there.
click "$graph" 31 444 # Entrées Analogiques
click "$graph" 82 498 # Ouvrir fichier
sleep 1
xdotool type --delay 20 "$work/longue.txt"
xdotool key Return
sleep 1.5
click "$graph" 560 645 # the overview, two thirds in
xdotool mousemove --window "$graph" 420 150; sleep 0.5
shot "$graph" graph-longue.png

# A week recorded at a 2 s period: the wheel zooms the chart out to the whole week (each pixel
# column a stroke from the least to the greatest value of its rows, so the 40-second event at 60 %
# of the file shows), then in on that event with the mouse on it: the valeurs line gives the values
# of the rows under the mouse, statistiques the figures of the span shown.
tools/make-sample-acquisition.sh "$work/semaine.txt" 302400 week
event_x=530 # the event's pixel column in the week shown whole
click "$graph" 82 498 # Ouvrir fichier
sleep 1
xdotool type --delay 20 "$work/semaine.txt"
xdotool key Return
sleep 2
xdotool mousemove --window "$graph" 420 150
for _ in $(seq 45); do xdotool click 5; done # wheel down: out
sleep 1
xdotool mousemove --window "$graph" 700 120; sleep 0.5
shot "$graph" graph-semaine.png
xdotool mousemove --window "$graph" "$event_x" 150
for _ in $(seq 30); do xdotool click 4; done # wheel up: in, around the row under the mouse
for _ in $(seq 4); do xdotool keydown shift click 5 keyup shift; done # Shift: along, to later rows
sleep 0.5
xdotool mousemove --window "$graph" 567 160; sleep 0.5 # on the event
shot "$graph" graph-moment.png
