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
  # tavo_zh_printer.ts is the printer's log in Chinese: the decoder's texts
  # (English in the sources) and the virtual printer's notes.
  local these=("${sources[@]}") from=zh_CN to=en
  if [ "$(basename "$1")" = tavo_zh_printer.ts ]; then
    these=(escpos virtualprinter settings) from=en to=zh_CN
  fi
  (cd "$root" && "$lupdate" -silent -I . -locations none -no-obsolete -source-language "$from" -target-language "$to" \
     "${these[@]}" -ts "$1")
}
if [ "${1:-}" != --check ]; then
  for ts in "$root"/translations/*.ts; do
    run_lupdate "$ts"
  done
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
