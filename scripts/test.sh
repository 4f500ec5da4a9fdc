#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite on
# Qt's offscreen platform. The tests run inside a private network namespace
# that only has loopback wherever the machine allows it, so that no test can
# reach a real printer even by mistake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
build="${TAVO_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${TAVO_CMAKE_ARGS:-}
cmake --build "$build" ${TAVO_BUILD_TARGET:+--target "$TAVO_BUILD_TARGET"}
"$root/scripts/update-translations.sh" --check
export QT_QPA_PLATFORM=offscreen
run_ctest=(ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 ${TAVO_CTEST_ARGS:-})
if unshare --net true 2>/dev/null; then
  exec unshare --net bash -c 'ip link set lo up && exec "$@"' _ "${run_ctest[@]}"
elif unshare --user --map-root-user --net true 2>/dev/null; then
  exec unshare --user --map-root-user --net bash -c 'ip link set lo up && exec "$@"' _ "${run_ctest[@]}"
else
  echo "note: no network namespace available here; tests still only use 127.0.0.1" >&2
  exec "${run_ctest[@]}"
fi
