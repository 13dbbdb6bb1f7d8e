#!/usr/bin/env bash
# The Windows build (./dev.sh windows): Qt for x86_64 Windows, cross-built once with Debian's
# MinGW-w64 into a cache folder outside the repository, then the program and its tests, the tests
# run under Wine, the serial round trip with the board simulator under Wine, and the zip a Windows
# user unpacks and starts.
#
#   tools/windows-build.sh [all|qt]     all (the default) does everything; qt stops once the
#                                       cross Qt is in the cache
#
# The cache folder is $PLATINE_WINDOWS_CACHE, /work/cache/qt6-mingw when unset. Qt is built there
# once and reused while its "complete" marker is there; remove the folder to build it anew.
# $PLATINE_WINE_FONTS, when set, is a folder of fonts that Wine sees during the round trip beside
# the machine's own, to try the program with fonts this machine has not installed.
set -Eeuo pipefail # -E: the ERR trap below tells failures inside functions too
trap 'echo "$0: failed at line $LINENO: $BASH_COMMAND" >&2' ERR
cd "$(dirname "$0")/.."
top=$PWD
what=${1:-all}
case "$what" in
  all | qt) ;;
  *)
    echo "usage: $0 [all|qt]" >&2
    exit 2
    ;;
esac

cache=${PLATINE_WINDOWS_CACHE:-/work/cache/qt6-mingw}
third_party=${PLATINE_THIRD_PARTY:-$top/../shared/third-party}
qt_version=6.4.2
serialport_tar=qtserialport-everywhere-src-$qt_version.tar.xz
serialport_sha256=682626d3ae07074df0f707dab880f1eab1c133a04d5bed688a3ec63af305ae89
mingw=x86_64-w64-mingw32
qt=$cache/qt # the cross Qt's install prefix
jobs=$(nproc)
build=$top/build-windows

say() { printf '\n== %s (%s)\n' "$*" "$(date -u +%H:%M:%S)"; }

# Runs a long step with its output in a log file; on failure, shows the end of the log.
logged() {
  local log=$1
  shift
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "failed: $* (whole log: $log)" >&2
    exit 1
  fi
}

# --- Debian packages --------------------------------------------------------------------------
install_packages() {
  local packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
                  xdotool xclip x11-apps imagemagick zip unzip dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools)
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
      "${missing[@]}"
  fi
}

# apt-get source needs a deb-src entry; Debian's images have none. Adds one beside the existing
# entries, for the same mirrors and suites.
add_deb_src() {
  if apt-get source --print-uris qt6-base >/dev/null 2>&1; then return; fi
  say "adding a deb-src entry"
  local list=/etc/apt/sources.list.d/platine-deb-src
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $sudo tee $list.sources >/dev/null
  elif grep -q '^deb ' /etc/apt/sources.list 2>/dev/null; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | $sudo tee $list.list >/dev/null
  else
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
      'Suites: bookworm bookworm-updates' 'Components: main' \
      'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | $sudo tee $list.sources >/dev/null
  fi
  $sudo apt-get update -qq
}

# --- Qt for Windows, once, into the cache ------------------------------------------------------
build_qtbase() {
  [ -f "$cache/qtbase.complete" ] && return
  # The host tools (moc, rcc, uic...) are Debian's Qt, so the source must be the same version.
  local version
  version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
  local src=$cache/src/qt6-base-${version%-*}
  if [ ! -f "$src.unpacked" ]; then
    add_deb_src
    say "fetching the source of qt6-base $version"
    rm -rf "$cache/src"
    mkdir -p "$cache/src"
    (cd "$cache/src" && apt-get source -qq "qt6-base=$version")
    touch "$src.unpacked"
  fi

  # Qt records its toolchain file and loads it again for every project built with it: a copy in
  # the cache keeps the cache independent of this repository's folder.
  cp cmake/windows-mingw.cmake "$cache/windows-mingw.cmake"
  local log=$cache/qtbase-build.log
  say "building qtbase $qt_version for Windows (log: $log; about 35 CPU-minutes)"
  mkdir -p "$cache/build-qtbase"
  if [ ! -f "$cache/build-qtbase/CMakeCache.txt" ]; then
    # Debian's source leaves out the tablet header, hence no tabletevent. What the program does
    # not use is left out: OpenGL, D-Bus, SQL, network, printing, XML, concurrent.
    (cd "$cache/build-qtbase" &&
      logged "$log" "$src/configure" -prefix "$qt" -release -shared -xplatform win32-g++ \
        -qt-host-path /usr -nomake examples -nomake tests \
        -no-opengl -no-dbus -no-feature-tabletevent -no-feature-sql -no-feature-network \
        -no-feature-printsupport -no-feature-xml -no-feature-concurrent \
        -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$cache/windows-mingw.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  fi
  # An interrupted build goes on where it stopped; the marker comes only after the install.
  logged "$log" cmake --build "$cache/build-qtbase" --parallel "$jobs"
  rm -rf "$qt"
  logged "$log" cmake --install "$cache/build-qtbase"
  rm -f "$cache/qtserialport.complete"
  touch "$cache/qtbase.complete"
}

build_qtserialport() {
  [ -f "$cache/qtserialport.complete" ] && return
  local tar=$third_party/$serialport_tar
  echo "$serialport_sha256  $tar" | sha256sum -c --quiet
  local log=$cache/qtserialport-build.log
  say "building Qt Serial Port $qt_version for Windows (log: $log)"
  rm -rf "$cache/src/qtserialport-everywhere-src-$qt_version" "$cache/build-qtserialport"
  tar -xJf "$tar" -C "$cache/src"
  mkdir -p "$cache/build-qtserialport"
  (cd "$cache/build-qtserialport" &&
    logged "$log" "$qt/bin/qt-configure-module" \
      "$cache/src/qtserialport-everywhere-src-$qt_version" -- -G Ninja)
  logged "$log" cmake --build "$cache/build-qtserialport" --parallel "$jobs"
  logged "$log" cmake --install "$cache/build-qtserialport"
  touch "$cache/qtserialport.complete"
}

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
install_packages
mkdir -p "$cache"
build_qtbase
build_qtserialport
say "Qt $qt_version for Windows is in $qt"
[ "$what" = qt ] && exit 0

# --- Wine and a display -----------------------------------------------------------------------
# One Wine prefix for this build folder (its dosdevices/com3 is pointed at the board simulator),
# no Mono or Gecko installer, no debug chatter. Wine programs need an X display even offscreen;
# Xvfb gives one, which also serves the screenshots.
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pids=()
cleanup() {
  local pid
  wineserver -k >/dev/null 2>&1 || true # the Windows programs first, while X is there
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
start_display() {
  local n
  for n in $(seq 100 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1400x1000x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && return; sleep 0.1; done
  done
  echo "no X display could be started" >&2
  exit 1
}
start_wine() {
  mkdir -p "$build"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 # stays up between the many short Wine runs of the tests
  # The first program after the server starts brings up Wine's own services; a test started in
  # its place was seen to hang at its exit. A program of Wine's own does it first.
  wine cmd /c exit
}

# A Windows path for a file of this machine ("Z:\work\...").
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# --- The program and its tests ----------------------------------------------------------------
build_program() {
  say "building the program and its tests for Windows"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  "$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$top/cmake/windows-mingw.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine "${launcher[@]}" >/dev/null
  cmake --build "$build" --parallel "$jobs"
}

runtime_dlls() {
  local f
  for f in libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll; do
    readlink -f "$("$mingw-g++-posix" -print-file-name=$f)"
  done
}

run_tests() {
  say "running the tests under Wine (offscreen)"
  # The tests find Qt's and MinGW's libraries through WINEPATH, Qt's plugins beside Qt6Core.dll.
  local path="" d
  for d in "$qt/bin" $(runtime_dlls | xargs -n1 dirname | sort -u); do
    path+="$(winpath "$d");"
  done
  # Wine hands no QT_ variable of this machine to a Windows program, but turns WINEQT_X into QT_X.
  # Without a console, Qt Test would write to the debugger instead of the standard output. The
  # offscreen platform reads its fonts from a folder: the DejaVu fonts, as in the Linux tests.
  WINEPATH="$path" WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 \
    WINEQT_QPA_FONTDIR="$(winpath /usr/share/fonts/truetype/dejavu)" \
    ctest --test-dir "$build" --output-on-failure -j"$jobs"
}

# --- The zip ----------------------------------------------------------------------------------
# What the folder must hold: the program, Qt's libraries, the platform and style plugins, the
# MinGW runtime. Every library that one of them imports must be in the folder or one of Windows'
# own: an API set (api-ms-win-...) or a library of Wine's system32.
make_zip() {
  say "making build-windows/platine-windows.zip"
  local pkg=$build/platine-windows
  rm -rf "$pkg" "$build/platine-windows.zip"
  mkdir -p "$pkg/platforms" "$pkg/styles"
  cp "$build/platine.exe" "$pkg/"
  "$mingw-strip" "$pkg/platine.exe"
  cp "$qt"/bin/Qt6{Core,Gui,Widgets,SerialPort}.dll "$pkg/"
  cp "$qt/plugins/platforms/qwindows.dll" "$pkg/platforms/"
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$pkg/styles/"
  runtime_dlls | xargs -I{} cp {} "$pkg/"

  local system32=$WINEPREFIX/drive_c/windows/system32 missing=0 file dll
  while IFS= read -r file; do
    for dll in $("$mingw-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
      [[ ${dll,,} == api-ms-win-* || ${dll,,} == ext-ms-* ]] && continue
      if ! find "$pkg" "$system32" -maxdepth 1 -iname "$dll" | grep -q .; then
        echo "${file#"$pkg"/} needs $dll, which is not in the folder" >&2
        missing=1
      fi
    done
  done < <(find "$pkg" -iname '*.exe' -o -iname '*.dll')
  [ $missing = 0 ] || exit 1
  (cd "$build" && zip -qr platine-windows.zip platine-windows)
  ls -l "$build/platine-windows.zip"
}

# --- The serial round trip --------------------------------------------------------------------
# The program from the unzipped folder, under Wine, talks to the board simulator (built for this
# machine) through Wine's COM3, which points at the simulator's pseudo-terminal. The clock command
# (fields typed by hand) and the schedule command (XON, XOFF, CR and LF among its bytes) must
# arrive byte for byte. Then the simulator's answers must be in the reply boxes (read through the
# clipboard), where this Wine can pass them on: tools/wine/comm-wait-probe.c asks it first.
# Wine 8.0 cannot: it ends a serial wait without telling a completion port, which is how Qt
# Serial Port hears of received bytes on Windows, so the answers stay unread there; the probe's
# findings are printed instead. (A pseudo-terminal also lacks the modem lines that Wine reads
# during the wait: tools/wine/pty-modem-lines.c, loaded into Wine, gives it a serial port's, so
# that the probe sees the completion port alone.) Last, the viewer is opened with the
# demonstration data. Screenshots of each step are left beside.
# On the way, it looks at the text boxes as a person would: after "Heure PC", after the clock is
# typed, with the stored schedule and after a schedule file is opened, each box must show dark
# text where its rendering when empty has none. All of it runs in a Wine prefix made anew, as on
# a machine where the program never ran.
round_trip() {
  say "serial round trip under Wine with the board simulator on COM3"
  local sim_build=$build/linux-sim
  cmake -S . -B "$sim_build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$sim_build" --parallel "$jobs" --target platine-sim >/dev/null

  local run=$build/roundtrip
  wineserver -k >/dev/null 2>&1 || true # the tests' prefix is done with
  rm -rf "$run"
  mkdir -p "$run"
  export WINEPREFIX=$run/wine
  if [ -n "${PLATINE_WINE_FONTS:-}" ]; then # more fonts for Wine, not installed on the machine
    printf '<?xml version="1.0"?>\n<fontconfig>%s%s</fontconfig>\n' \
      "<include>/etc/fonts/fonts.conf</include><dir>$(realpath "$PLATINE_WINE_FONTS")</dir>" \
      "<cachedir>$run/fontconfig</cachedir>" >"$run/fonts.conf"
    export FONTCONFIG_FILE=$run/fonts.conf
  fi
  start_wine
  (cd "$run" && unzip -q ../platine-windows.zip)
  local app=$run/platine-windows
  # Port 3 and a schedule as the last "Programmer" left it.
  printf '[Port COM]\r\nvaleur=3\r\n[txt0]\r\nvaleur=11:13\r\n[txt1]\r\nvaleur=12:00\r\n' \
    >"$app/param.ini"
  printf '[txt2]\r\nvaleur=13:30:00\r\n[txt3]\r\nvaleur=14:45:59\r\n[txt4]\r\nvaleur=20:10\r\n' \
    >>"$app/param.ini"
  printf '[txt5]\r\nvaleur=23:59:00\r\n[txt6]\r\nvaleur=13\r\n[cmb0]\r\nvaleur=9\r\n' \
    >>"$app/param.ini"

  "$sim_build/platine-sim" --port 3 >"$run/sim.log" 2>&1 &
  pids+=($!)
  local device=""
  for _ in $(seq 50); do
    device=$(sed -n 's/^Peripherique : //p' "$run/sim.log")
    [ -n "$device" ] && break
    sleep 0.1
  done
  [ -n "$device" ] || { cat "$run/sim.log" >&2; exit 1; }
  ln -sfn "$device" "$WINEPREFIX/dosdevices/com3"

  gcc -shared -fPIC -O2 -o "$run/pty-modem-lines.so" tools/wine/pty-modem-lines.c -ldl
  "$mingw-gcc-posix" -O2 -o "$run/comm-wait-probe.exe" tools/wine/comm-wait-probe.c
  local probe answers=0 preload=""
  probe=$(LD_PRELOAD="$run/pty-modem-lines.so" timeout 30 wine "$run/comm-wait-probe.exe" COM3)
  echo "$probe" | sed 's/^/  probe: /'
  if [[ $probe == *"completion: delivered"* ]]; then
    answers=1
    preload=$run/pty-modem-lines.so
  fi

  (trap - ERR && cd "$app" && LD_PRELOAD="$preload" LC_ALL=fr_FR.UTF-8 wine platine.exe \
    >"$run/platine.log" 2>&1) &
  pids+=($!)
  disown # its end, when the script stops it, is no news
  local main
  main=$(timeout 60 xdotool search --sync --name '^Acquisition de donn')
  xdotool windowmove "$main" 0 0
  sleep 2
  local width height bar
  read -r width height < <(xdotool getwindowgeometry "$main" |
    sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
  # The menu bar is white across the window, above the client area of the design; its height
  # follows the font.
  import -window root -crop "${width}x${height}+0+0" "$run/start.png"
  bar=$(convert "$run/start.png" -crop "1x60+$((width - 9))+0" +repage -colorspace gray \
    -depth 8 txt:- | awk -F'[,:]' 'NR > 1 && !/#FFFFFF/ { print $2; exit }')
  [ -n "$bar" ] || { echo "the menu bar was not found in $run/start.png" >&2; exit 1; }
  local caption
  caption=$(xdotool getwindowname "$main")
  echo "main window: \"$caption\", $width pixels wide"
  local expected="Acquisition de données sur carte SD - DORNAL  - Ferlanex V:1.1"
  [ "$caption" = "$expected" ] && [ "$width" = 889 ] ||
    { echo "the main window is not the program's (caption or width)" >&2; exit 1; }

  click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.5; }
  press() { click "$main" "$1" $(($2 + bar)); } # a point of the main window's client area
  box_text() { # what the box at (x, y) of the main window's client area holds, by the clipboard
    printf '' | xclip -selection clipboard >/dev/null 2>&1 # xclip stays to serve it
    press "$1" "$2"
    xdotool key ctrl+a ctrl+c
    sleep 0.5
    xclip -o -selection clipboard 2>/dev/null | tr -d '\r\n' || true
  }
  status_text() { # the status line's text, selected by dragging over it, by the clipboard
    local y=$((height - 9)) text="" _
    for _ in 1 2 3; do # the first drag after a click elsewhere was seen to select nothing
      printf '' | xclip -selection clipboard >/dev/null 2>&1
      xdotool mousemove --window "$main" 2 "$y" mousedown 1 sleep 0.2 \
        mousemove --window "$main" $((width - 3)) "$y" sleep 0.2 mouseup 1
      xdotool key ctrl+c
      sleep 0.5
      text=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r\n' || true)
      [ -n "$text" ] && break
    done
    echo "$text"
  }
  menu_at() { # the menu bar's item at x, then the item of its menu that many steps down
    click "$main" "$1" 8
    for _ in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
    sleep 0.7
  }
  menu() { menu_at 100 "$1"; } # Paramètrage
  centre() { # of a box ("name:left top width height"), in the client area
    local l t w h
    read -r l t w h <<<"${1#*:}"
    echo $((l + w / 2)) $((t + h / 2))
  }
  field() { # a box's text replaced by typing
    press $(centre "$1")
    xdotool key ctrl+a
    xdotool type --delay 30 "$2"
  }
  shot() { import -window root -crop "${width}x${height}+0+0" "$1"; } # the main window
  empty_boxes() { # each box ("name:left top width height") emptied by hand
    local box
    for box in "$@"; do
      press $(centre "$box")
      xdotool key ctrl+a BackSpace
    done
    sleep 1 # the last box drawn again before the screenshot
  }
  # What a person sees: how many pixel columns inside the box's frame hold dark pixels that the
  # box's rendering when empty has not. Text makes many; a text cursor, one or two.
  text_columns() { # empty.png shown.png "left top width height" (client area, pixels)
    local l t w h crop
    read -r l t w h <<<"$3"
    crop="$((w - 6))x$((h - 6))+$((l + 3))+$((t + bar + 3))"
    convert \( "$2" -crop "$crop" +repage \) \( "$1" -crop "$crop" +repage \) \
      -colorspace gray -threshold 50% -negate -compose minus_src -composite \
      -scale "$((w - 6))x1!" -threshold 0 -format '%[fx:round(w*mean)]' info:
  }
  local readable=1
  boxes_show_text() { # what was done, empty.png, shown.png, then the boxes
    local done=$1 empty=$2 shown=$3 box columns blank=()
    shift 3
    for box in "$@"; do
      columns=$(text_columns "$empty" "$shown" "${box#*:}")
      [ "$columns" -ge 3 ] || blank+=("${box%%:*}")
    done
    if [ ${#blank[@]} -gt 0 ]; then
      echo "after $done, no text is drawn in ${blank[*]} ($shown)" >&2
      readable=0
    else
      echo "after $done, the $# boxes show their text"
    fi
  }

  # "Heure PC" fills the clock's seven fields: each shows its text, and the year is this one.
  menu 2 # Mise à l'heure platine
  empty_boxes "${clock_boxes[@]}"
  shot "$run/clock-empty.png"
  press "${clock_pc[@]}" # Heure PC
  shot "$run/clock-pc.png"
  boxes_show_text '"Heure PC"' "$run/clock-empty.png" "$run/clock-pc.png" "${clock_boxes[@]}"
  local year
  year=$(box_text $(centre "${clock_boxes[5]}"))
  echo "after \"Heure PC\", the year field holds \"$year\""
  [ "$year" = "$(date +%Y)" ] ||
    { echo "\"Heure PC\" did not fill the clock's fields" >&2; exit 1; }

  # The clock, typed by hand: 14:07:35 on Wednesday 28 February 2007.
  local typed=(14 07 35 28 02 2007 Mercredi) i
  for i in "${!typed[@]}"; do field "${clock_boxes[$i]}" "${typed[$i]}"; done
  press "${clock_send[@]}" # Programmation
  sleep 2
  shot "$run/clock.png"
  boxes_show_text "typing the clock" "$run/clock-empty.png" "$run/clock.png" "${clock_boxes[@]}"
  local clock_status schedule_status
  clock_status=$(status_text)
  echo "after \"Programmation\", the status line says \"$clock_status\""
  local clock_reply_text schedule_reply_text
  clock_reply_text=$(box_text "${clock_reply[@]}")
  echo "the clock's reply box holds \"$clock_reply_text\""

  menu 1 # Programmation
  press "${schedule_send[@]}" # Programmer
  sleep 2
  shot "$run/schedule.png"
  schedule_status=$(status_text)
  echo "after \"Programmer\", the status line says \"$schedule_status\""
  schedule_reply_text=$(box_text "${schedule_reply[@]}")
  echo "the schedule's reply box holds \"$schedule_reply_text\""

  # The schedule's boxes emptied, then filled again from a schedule file ("Fichier", "Ouvrir").
  local schedule_file=$run/horaires.txt
  printf '[txt0]\r\nvaleur=06:00:00\r\n[txt1]\r\nvaleur=07:15:00\r\n[txt2]\r\nvaleur=09:30:00\r\n' \
    >"$schedule_file"
  printf '[txt3]\r\nvaleur=10:45:00\r\n[txt4]\r\nvaleur=16:00:00\r\n[txt5]\r\nvaleur=17:20:00\r\n' \
    >>"$schedule_file"
  printf '[txt6]\r\nvaleur=30\r\n[cmb0]\r\nvaleur=3\r\n' >>"$schedule_file"
  empty_boxes "${schedule_boxes[@]}"
  shot "$run/schedule-empty.png"
  boxes_show_text "opening the schedule panel" "$run/schedule-empty.png" "$run/schedule.png" \
    "${schedule_boxes[@]}"
  menu_at 25 2 # Fichier, Ouvrir
  # Wine's file dialog has no name here: it is the program's other visible window. Typing goes to
  # its file name box while the pointer is over it.
  file_dialog() {
    xdotool search --onlyvisible --classname platine.exe 2>/dev/null | grep -vx "$main" | head -n 1
  }
  local dialog=""
  for _ in $(seq 60); do
    dialog=$(file_dialog) && [ -n "$dialog" ] && break
    sleep 0.5
  done
  [ -n "$dialog" ] || { echo "the file dialog did not open" >&2; exit 1; }
  xdotool mousemove --window "$dialog" 300 200
  sleep 0.3
  xdotool type --delay 20 "$(winpath "$schedule_file")"
  xdotool key Return
  for _ in $(seq 60); do
    [ -z "$(file_dialog)" ] && break
    sleep 0.5
  done
  sleep 2 # the main window draws again where the dialog was
  shot "$run/schedule-open.png"
  boxes_show_text "opening a schedule file" "$run/schedule-empty.png" "$run/schedule-open.png" \
    "${schedule_boxes[@]}"
  local first_time
  first_time=$(box_text $(centre "${schedule_boxes[0]}"))
  echo "after opening a schedule file, the first time box holds \"$first_time\""
  [ "$first_time" = "06:00:00" ] || { echo "the schedule file was not opened" >&2; exit 1; }

  click "$main" "${viewer_menu[@]}" # Graphique
  local graph
  graph=$(timeout 30 xdotool search --sync --name '^Graphique des acquisitions')
  xdotool windowmove --sync "$graph" 0 0
  sleep 1
  echo "viewer: \"$(xdotool getwindowname "$graph")\""
  click "$graph" "${demo_data[@]}" # Aléatoire
  click "$graph" "${draw[@]}"      # Tracer
  sleep 1
  local size
  size=$(xdotool getwindowgeometry "$graph" | sed -n 's/.*Geometry: \([0-9]*x[0-9]*\).*/\1/p')
  import -window root -crop "$size+0+0" "$run/viewer.png"

  local clock="41 14 07 35 28 02 07 04"
  local schedule="42 11 13 12 00 13 30 14 45 20 10 23 59 0A 0D$(printf ' 00%.0s' $(seq 110))"
  local ok=1
  grep -qx "<< $clock" "$run/sim.log" || { echo "clock command not received as sent" >&2; ok=0; }
  grep -qx "<< $schedule" "$run/sim.log" || { echo "schedule not received as sent" >&2; ok=0; }
  [ "$(grep -c '^<< ' "$run/sim.log")" = 2 ] || { echo "other bytes were sent" >&2; ok=0; }
  # The board answers the clock command ("Heure reglee : 14:07:35 28/02/2007"), then tells its
  # time every second; the reply boxes show the last answer. A date in 2007 can only come from
  # the board that was set by the clock command.
  local answer='^(Heure reglee : )?14:(0[7-9]|1[0-9]):[0-5][0-9] 28/02/2007$'
  if [ $answers = 1 ]; then
    [[ $clock_reply_text =~ $answer ]] ||
      { echo "the board's answer did not come back into the clock's reply box" >&2; ok=0; }
    [[ $schedule_reply_text =~ $answer ]] ||
      { echo "the board's answer did not come back into the schedule's reply box" >&2; ok=0; }
  fi
  # A command is told sent once the port has told that its last byte left.
  [[ $clock_status == "Heure envoyée à la platine sur le port COM3 "* ]] ||
    { echo "the status line did not tell the clock sent" >&2; ok=0; }
  [[ $schedule_status == "Programme envoyé à la platine sur le port COM3 "* ]] ||
    { echo "the status line did not tell the schedule sent" >&2; ok=0; }
  if [ $ok = 0 ]; then
    cat "$run/sim.log" >&2
    exit 1
  fi
  echo "the simulator received the clock command ($clock) and the 125-byte schedule, byte for byte"
  if [ $answers = 1 ]; then
    echo "its answers came back into the reply boxes"
  else
    echo "its answers stay unread: this Wine tells no completion port that a serial wait ended"
  fi
  echo "screenshots: $run/clock.png, $run/schedule.png, $run/viewer.png"
  [ $readable = 1 ] || { echo "text boxes of the main window draw no text" >&2; exit 1; }
}

# Where the round trip clicks, in pixels: in the main window's client area (below the menu bar),
# then in the menu bar and in the viewer, from their top left corner.
clock_send=(537 455)
clock_pc=(670 377)
schedule_send=(560 64)
clock_reply=(620 412)
schedule_reply=(236 380)
viewer_menu=(170 11)
demo_data=(773 468)
draw=(82 532)
# The text boxes it looks at: name, then left, top, width and height in the client area, in
# pixels; the day list without its arrow.
clock_boxes=("heure:614 170 72 21" "minutes:614 197 72 21" "seconde:614 224 72 21"
  "jour:614 251 72 21" "mois:614 278 72 21" "annee:614 305 72 21" "numero_jour:614 332 112 21")
schedule_boxes=("Text2(0):112 64 97 25" "Text2(1):112 100 97 25" "combo1(0):240 100 165 25"
  "Text2(2):112 152 97 25" "Text2(3):112 188 97 25" "Text2(4):112 240 97 25"
  "Text2(5):112 276 97 25" "Text2(6):288 324 65 25")

start_display
start_wine
build_program
run_tests
make_zip
round_trip
say "done: build-windows/platine-windows.zip"
