#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 60), inside a network namespace with only loopback
# where the machine allows it. Fails on any finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds="${1:-60}"
TAVO_FUZZ=1 "$root/scripts/install-deps.sh"
build="${TAVO_FUZZ_BUILD_DIR:-$root/build-fuzz}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DTAVO_BUILD_TESTS=OFF -DTAVO_BUILD_FUZZ=ON \
  -DTAVO_SANITIZE=address,undefined >/dev/null
cmake --build "$build" --target fuzz_bmp fuzz_conversions fuzz_address fuzz_decoder fuzz_virtualprinter decoder_seeds
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp"
netns=()
if unshare --net true 2>/dev/null; then
  netns=(unshare --net bash -c 'ip link set lo up && exec "$@"' _)
fi
status=0
# The decoder's seeds are the bytes of every command builder.
mkdir -p "$build/corpus/decoder"
"$build/fuzz/decoder_seeds" "$build/corpus/decoder"
# The virtual printer takes the same seeds, behind its two bytes of model and piece size.
mkdir -p "$build/corpus/virtualprinter"
for seed in "$build/corpus/decoder"/*; do
  { printf '\x00\x10'; cat "$seed"; } >"$build/corpus/virtualprinter/$(basename "$seed")"
done
# And the receipts of the client libraries: barcodes, symbols, column images, code pages.
for seed in "$root"/tests/virtualprinter/clients/*.bin "$root"/tests/virtualprinter/encoder/*.bin; do
  { printf '\x00\x3F'; cat "$seed"; } >"$build/corpus/virtualprinter/client-$(basename "$seed")"
  cp "$seed" "$build/corpus/decoder/client-$(basename "$seed")"
done
for target in fuzz_bmp fuzz_conversions fuzz_address fuzz_decoder fuzz_virtualprinter; do
  name=${target#fuzz_}
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/seeds/$name/"* "$corpus/" 2>/dev/null || true
  log="$build/$target.log"
  if "${netns[@]}" "$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/$target-" >"$log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "$target: ${runs:-?} executions in ${seconds}s, no finding"
  else
    echo "$target: FINDING, see $log" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done
exit $status
