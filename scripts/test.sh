#!/usr/bin/env bash
# Builds everything and runs every test: unit tests natively, the Win32
# adapter tests and the end-to-end tests under Wine with Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
python3 "$root/tests/e2e/wine.py" template
cd "$root/build/native"
exec ctest -j "$(nproc)" --output-on-failure --timeout 600 "$@"
