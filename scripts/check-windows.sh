#!/usr/bin/env bash
# The Windows bodies of the transports: cross-builds them, TavoNetIO.dll
# (checking its three exports) and their GoogleTest program with MinGW-w64
# (the posix-threads compiler, warnings as errors), and runs that program under
# Wine, headless, inside a private mount and network namespace whose /dev
# holds no serial device of the machine. Wine's COM1 to COM3 are pointed at
# pseudo-terminal printers held by a Linux harness (tests/wine/harness.cpp);
# a small preloaded shim answers the modem-line calls a pseudo-terminal
# lacks. The Wine prefix lives in a temporary folder and its server is
# stopped at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

TAVO_WINE=1 "$root/scripts/install-deps.sh"

out="${TAVO_WINE_BUILD_DIR:-$root/build-wine}"
mkdir -p "$out/obj"
cxx=(x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -g -Wall -Wextra -Wshadow -I"$root")
gtest=/usr/src/googletest/googletest

# GoogleTest once per build folder; the transports and tests every time.
if [ ! -f "$out/obj/gtest-all.o" ]; then
  "${cxx[@]}" -w -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest-all.cc" -o "$out/obj/gtest-all.o"
  "${cxx[@]}" -w -I"$gtest/include" -I"$gtest" -c "$gtest/src/gtest_main.cc" -o "$out/obj/gtest_main.o"
fi
"${cxx[@]}" -Werror -shared -DTAVONETIO_BUILD "$root"/transport/tavonetio/{tavonetio,netsocket_win,address}.cpp \
  -lws2_32 -static -Wl,--out-implib,"$out/libTavoNetIO.dll.a" -o "$out/TavoNetIO.dll"
exports=$(x86_64-w64-mingw32-objdump -p "$out/TavoNetIO.dll")
for call in TavoNetOpen TavoNetSend TavoNetClose; do grep -q "\] $call\$" <<<"$exports"; done
objects=()
for f in transport/comhost_win.cpp transport/parallelport_win.cpp transport/devicecheck_win.cpp transport/comport.cpp transport/comportvalues.cpp \
         transport/devicenames.cpp transport/ioerror.cpp tests/wine/test_wintransports.cpp; do
  o="$out/obj/$(basename "$f" .cpp).o"
  "${cxx[@]}" -Werror -I"$gtest/include" -c "$root/$f" -o "$o"
  objects+=("$o")
done
"${cxx[@]}" "${objects[@]}" "$out/obj/gtest-all.o" "$out/obj/gtest_main.o" "$out/libTavoNetIO.dll.a" \
  -lws2_32 -static -o "$out/test_wintransports.exe"

# The Linux side: the harness and the modem-line shim.
g++ -std=c++17 -O1 -Wall -Wextra -I"$root" -o "$out/tavo-wine-harness" "$root/tests/wine/harness.cpp" \
  "$root/tests/support/ptyprinter.cpp" -lpthread
gcc -O2 -Wall -Wextra -shared -fPIC -o "$out/modemshim.so" "$root/tests/wine/modemshim.c" -ldl

# The run, inside its own namespaces.
run_inside() {
  set -euo pipefail
  out=$1
  shift
  mount --make-rprivate /
  ip link set lo up
  # A /dev of our own: the usual character devices and a fresh
  # pseudo-terminal instance, and no ttyS, ttyUSB, lp or usb node.
  dev=$(mktemp -d)
  for n in null zero full random urandom tty; do
    touch "$dev/$n"
    mount --bind "/dev/$n" "$dev/$n"
  done
  mkdir "$dev/pts" "$dev/shm"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$dev/pts"
  ln -s pts/ptmx "$dev/ptmx"
  mount -t tmpfs tmpfs "$dev/shm"
  mount --rbind "$dev" /dev
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d)/prefix
  export WINEDEBUG=${TAVO_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
  trap 'wineserver -k 2>/dev/null || true; rm -rf "$(dirname "$WINEPREFIX")"' EXIT
  wine wineboot -i >/dev/null 2>&1 || true
  [ -d "$WINEPREFIX/dosdevices" ] || { echo "wine: no prefix was made" >&2; exit 1; }
  if ls /dev | grep -Eq '^(ttyS|ttyUSB|ttyACM|lp)[0-9]'; then
    echo "a serial or printer device is visible inside the namespace" >&2
    exit 1
  fi
  # A hang is a failure, not a stalled CI run.
  timeout --kill-after=10 600 "$out/tavo-wine-harness" "$WINEPREFIX" env LD_PRELOAD="$out/modemshim.so" \
    wine "$out/test_wintransports.exe" "$@"
}
export -f run_inside
if unshare --mount --net true 2>/dev/null; then
  unshare --mount --net --fork bash -c 'run_inside "$@"' _ "$out" "$@"
else
  unshare --user --map-root-user --mount --net --fork bash -c 'run_inside "$@"' _ "$out" "$@"
fi
