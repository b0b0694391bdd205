#!/usr/bin/env bash
# Builds Kestro and starts it under Wine from a demo drive: build/demo/drive
# (a copy of demo/ with Kestro.exe) mapped to U:, a drive typed removable.
# Uses the user's X display when there is one, else a virtual one (Xvfb) and
# leaves a screenshot in build/demo/screen.png. The prefix stays in
# build/demo/prefix; "Kestro.exe -exit" ends the program (this script does
# that on Ctrl+C).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" --win
python3 "$root/tests/e2e/wine.py" template
exec python3 "$root/tests/e2e/demo.py" "$@"
