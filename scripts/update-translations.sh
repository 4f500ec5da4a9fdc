#!/usr/bin/env bash
# Brings the catalogues in translations/ in step with the sources: new texts
# come in unfinished, texts no longer in the sources are dropped. With
# --check it changes nothing and fails when a catalogue is not current or
# has an unfinished entry.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
sources=(core app ui cli settings logo devices escpos virtualprinter transport)
run_lupdate() { # ts-file
  (cd "$root" && "$lupdate" -silent -I . -locations none -no-obsolete -source-language zh_CN -target-language en \
     "${sources[@]}" -ts "$1")
}
if [ "${1:-}" != --check ]; then
  run_lupdate translations/tavo_en.ts
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$root"/translations/*.ts; do
  name=$(basename "$ts")
  cp "$ts" "$work/$name"
  run_lupdate "$work/$name"
  if ! cmp -s "$ts" "$work/$name"; then
    echo "$name is not in step with the sources (run scripts/update-translations.sh):"
    diff -u "$ts" "$work/$name" | grep '^[-+] *<source>' | head -20 || true
    status=1
  fi
  unfinished=$(grep -c 'type="unfinished"' "$work/$name" || true)
  vanished=$(grep -c 'type="vanished"\|type="obsolete"' "$work/$name" || true)
  if [ "$unfinished" != 0 ] || [ "$vanished" != 0 ]; then
    echo "$name: $unfinished unfinished and $vanished obsolete entries"
    status=1
  fi
done
[ $status = 0 ] && echo "translations: every catalogue is current and finished"
exit $status
