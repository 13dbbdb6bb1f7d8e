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
set -euo pipefail
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
                  xdotool x11-apps zip dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools)
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
