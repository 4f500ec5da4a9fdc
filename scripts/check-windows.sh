#!/usr/bin/env bash
# Compiles the Windows bodies of the transports (serial host layer, parallel
# port, network library) with MinGW, and links TavoNetIO.dll, so that the
# platform split stays honest on a machine without Windows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends g++-mingw-w64-x86-64-posix
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cxx=(x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -Wshadow -Werror -I"$root")
for f in transport/comhost_win.cpp transport/parallelport_win.cpp transport/devicecheck_win.cpp transport/comport.cpp \
         transport/devicenames.cpp transport/ioerror.cpp; do
  "${cxx[@]}" -c "$root/$f" -o "$out/$(basename "$f").o"
done
"${cxx[@]}" -shared -DTAVONETIO_BUILD "$root"/transport/tavonetio/{tavonetio,netsocket_win,address}.cpp \
  -lws2_32 -static-libgcc -static-libstdc++ -o "$out/TavoNetIO.dll"
exports=$(x86_64-w64-mingw32-objdump -p "$out/TavoNetIO.dll")
for call in TavoNetOpen TavoNetSend TavoNetClose; do grep -q "\] $call\$" <<<"$exports"; done
echo "Windows bodies of the transports compile; TavoNetIO.dll exports its three calls"
