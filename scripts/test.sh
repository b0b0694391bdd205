#!/usr/bin/env bash
# Builds everything and runs every test: unit tests natively, the Win32
# adapter tests and the end-to-end tests under Wine with Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
python3 "$root/tests/e2e/wine.py" template
cd "$root/build/native"
# A test that fails is run once more: the end-to-end tests drive real windows
# under Wine, and a machine busy with the other tests now and then lets a
# click or a key go by. A failure that comes back is reported as before, and
# the output of the first attempt is printed either way.
exec ctest -j "$(nproc)" --output-on-failure --timeout 600 --repeat until-pass:2 "$@"
