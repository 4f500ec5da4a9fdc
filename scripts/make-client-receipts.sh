#!/usr/bin/env bash
# Remakes the receipts of two point-of-sale client libraries from the npm
# registry (node-thermal-printer 4.6.1 and @point-of-sale/receipt-printer-
# encoder 4.0.1; Node.js and npm needed) as tests/virtualprinter/clients/
# *.bin. The bytes are kept in the repository so that the tests do not
# depend on the registry.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
clients="$root/tests/virtualprinter/clients"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$clients/thermal-printer.js" "$clients/receipt-encoder.mjs" "$work/"
(cd "$work" && npm init -y >/dev/null && npm install --no-audit --no-fund --silent \
  node-thermal-printer@4.6.1 @point-of-sale/receipt-printer-encoder@4.0.1 >/dev/null)
(cd "$work" && node thermal-printer.js) >"$clients/thermal-printer.bin"
(cd "$work" && node receipt-encoder.mjs) >"$clients/receipt-encoder.bin"
wc -c "$clients"/*.bin
