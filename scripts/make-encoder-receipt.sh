#!/usr/bin/env bash
# Remakes tests/virtualprinter/encoder/receipt.bin with the third-party
# encoder esc-pos-encoder 3.0.0 from the npm registry (Node.js and npm
# needed). The bytes are kept in the repository so that the tests do not
# depend on the registry.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/tests/virtualprinter/encoder/make-receipt.js" "$work/"
(cd "$work" && npm install --no-audit --no-fund --silent esc-pos-encoder@3.0.0 >/dev/null && node make-receipt.js) \
  >"$root/tests/virtualprinter/encoder/receipt.bin"
echo "tests/virtualprinter/encoder/receipt.bin: $(wc -c <"$root/tests/virtualprinter/encoder/receipt.bin") bytes"
