#!/usr/bin/env bash
# Lists the include edges between the top-level product folders and fails on
# any edge that does not go down the layers README.md describes ("Layout"),
# which also rules out every cycle. Tests, benchmarks and fuzz targets may
# include anything and are not counted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# Rank of each product folder: a folder includes only folders of a lower rank.
declare -A rank=(
  [transport]=0
  [core]=1
  [ui]=2
  [settings]=3 [logo]=3 [devices]=3
  [escpos]=4
  [cli]=5 [virtualprinter]=5 [app]=5
)
skip='^(tests|bench|fuzz|build|packaging|translations|scripts)/'

list=0
[ "${1:-}" = --list ] && list=1
declare -A count=()
bad=0
while IFS= read -r file; do
  from=${file%%/*}
  if [ -z "${rank[$from]+x}" ]; then
    echo "layers: $file is in $from/, a folder the layers do not name (add it to README.md and this script)" >&2
    bad=1
    continue
  fi
  while IFS= read -r to; do
    [ "$to" = "$from" ] && continue
    [ -z "${rank[$to]+x}" ] && continue # not a product folder ("tests/support" in a test-only header)
    count["$from -> $to"]=$(( ${count["$from -> $to"]:-0} + 1 ))
    if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
      echo "layers: $file includes $to/ (layer ${rank[$to]}), which is not below $from/ (layer ${rank[$from]})" >&2
      bad=1
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/p' "$file")
done < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp' '*.c' | grep -vE "$skip")

if [ "$list" = 1 ]; then
  for edge in "${!count[@]}"; do printf '%4d  %s\n' "${count[$edge]}" "$edge"; done | sort -k2
fi
if [ "$bad" != 0 ]; then
  echo "layers: include edges break the layer rule" >&2
  exit 1
fi
echo "layers: every include goes down the layers"
