#!/usr/bin/env bash
# Runs the libFuzzer targets of fuzz/ (what each covers: fuzz/README.md).
#
#   scripts/fuzz.sh [seconds] [target...]
#       builds build/fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
#       and runs each target (all by default) for `seconds` (300), one after
#       the other. Each grows its corpus in build/fuzz/corpus/<target>, which
#       starts from the seeds and is kept for the next run.
#   scripts/fuzz.sh --check target
#       the test command's short run: no build, a few seconds from the seeds
#       alone in a scratch folder.
#
# A finding is written to build/fuzz/crashes/<target>-crash-<sha1> (or leak-,
# timeout-, oom-); reproduce it with: build/fuzz/fuzz/fuzz_<target> <file>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KESTRO_FUZZ_BUILD:-$root/build/fuzz}

# Files and folders a target's corpus starts from, one a line (missing ones
# are skipped).
seeds() {
  echo "$root/fuzz/seeds/$1"
  case $1 in
    KestroXml) echo "$root/demo/Kestro.xml" ;;
    LanguageFile) printf '%s\n' "$root/tests/data/lng" "$root/resources/english.lng" ;;
  esac
}

# target seconds corpus-folder log-file
run() {
  local target=$1 seconds=$2 corpus=$3 log=$4
  local exe="$out/fuzz/fuzz_$target"
  [ -x "$exe" ] || { echo "fuzz: no $exe (scripts/build.sh --fuzz builds it)" >&2; return 1; }
  mkdir -p "$corpus" "$out/crashes" "$(dirname "$log")"
  while IFS= read -r s; do
    [ -e "$s" ] || continue
    find "$s" -maxdepth 1 -type f ! -name 'README*' -exec cp -n {} "$corpus/" \;
  done < <(seeds "$target")
  local args=(-max_total_time="$seconds" -timeout=20 -print_final_stats=1
              -artifact_prefix="$out/crashes/$target-")
  [ -f "$root/fuzz/$target.dict" ] && args+=(-dict="$root/fuzz/$target.dict")
  if "$exe" "${args[@]}" "$corpus" >"$log" 2>&1; then
    echo "fuzz: $target: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n1)"
  else
    tail -n 60 "$log"
    echo "fuzz: $target FAILED (log: $log)" >&2
    return 1
  fi
}

if [ "${1:-}" = "--check" ]; then
  target=${2:?"usage: scripts/fuzz.sh --check target"}
  scratch="$out/check/$target"
  rm -rf "$scratch"
  run "$target" 3 "$scratch/corpus" "$scratch/log"
  exit
fi

seconds=300
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then seconds=$1; shift; fi
"$root/scripts/build.sh" --fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/fuzz/*Fuzz.cpp; do
    f=$(basename "$f"); targets+=("${f%Fuzz.cpp}")
  done
fi
failed=0
for t in "${targets[@]}"; do
  run "$t" "$seconds" "$out/corpus/$t" "$out/logs/$t.log" || failed=1
done
exit $failed
