#!/usr/bin/env bash
# Builds the Debian package, validates its desktop entry and AppStream
# metainfo, installs it into a scratch root and starts the installed
# program once on the offscreen platform (it quits on SIGTERM).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
TAVO_PACKAGE=1 "$root/scripts/install-deps.sh"
build="${TAVO_PACKAGE_BUILD_DIR:-$root/build-package}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVO_BUILD_TESTS=OFF -DTAVO_HARDEN=ON \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build"
desktop-file-validate "$root"/packaging/*.desktop
appstreamcli validate --no-net --pedantic "$root"/packaging/*.metainfo.xml
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tavo-printer-tool_*.deb)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends
# Debian's checks: any error or warning fails, unless the package's own
# override file says why it does not apply.
lintian --fail-on error,warning --display-info "$deb"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch"
for f in usr/bin/tavo usr/bin/tavo-cli usr/bin/tavo-decode usr/bin/tavo-virtual-printer \
         usr/share/applications/example.tavo_printers.tavotool.desktop \
         usr/share/metainfo/example.tavo_printers.tavotool.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/tavo.svg usr/share/icons/hicolor/48x48/apps/tavo.png \
         usr/share/icons/hicolor/256x256/apps/tavo.png \
         usr/share/doc/tavo-printer-tool/copyright usr/share/doc/tavo-printer-tool/changelog.gz \
         usr/share/man/man1/tavo.1.gz usr/share/man/man1/tavo-cli.1.gz usr/share/man/man1/tavo-decode.1.gz \
         usr/share/man/man1/tavo-virtual-printer.1.gz; do
  [ -e "$scratch/$f" ] || { echo "missing from the package: $f" >&2; exit 1; }
done
ls "$scratch"/usr/lib/*/tavo/libTavoNetIO.so >/dev/null
# The installed programs, from the scratch root.
QT_QPA_PLATFORM=offscreen "$scratch/usr/bin/tavo" &
pid=$!
sleep 3
kill -0 "$pid" # still running: it started
kill -TERM "$pid"
wait "$pid"
"$scratch/usr/bin/tavo-cli" --dry-run drawer >/dev/null
"$scratch/usr/bin/tavo" --version >/dev/null
"$scratch/usr/bin/tavo-virtual-printer" --help >/dev/null
# The catalogue travels inside the programs: English for an English locale,
# the Chinese texts for C.
said=$(env LC_ALL=en_US.UTF-8 "$scratch/usr/bin/tavo-cli" --dry-run --lpt LPT1 mark-cut 101 --backward 2>&1 || true)
[ "$said" = "The paper cannot go back more than 100 mm!!" ] || { echo "English: $said" >&2; exit 1; }
said=$(env LC_ALL=C "$scratch/usr/bin/tavo-cli" --dry-run --lpt LPT1 mark-cut 101 --backward 2>&1 || true)
[ "$said" = "最大退纸长度不能 超过 100 毫米！！" ] || { echo "C: $said" >&2; exit 1; }
echo "package built, validated, installed into a scratch root; the installed program started and quit"
