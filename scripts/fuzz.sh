#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UBSan, build/fuzz)
# and runs each for SECONDS (default 60), two at a time. Each target starts
# from its seeds in fuzz/corpus/<name> and the inputs in fuzz/regressions/<name>;
# what it learns stays in build/fuzz/corpus. A finding fails the run and is
# kept in build/fuzz/findings/<name>/: once fixed, copy it into
# fuzz/regressions/<name>/ so that ctest replays it in every build.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
parallel=2

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

out=build/fuzz
mapfile -t targets < "$out/fuzz-targets.txt"
rm -rf "$out/logs"
mkdir -p "$out/logs"

run_target() {
  local name=$1 rss=$2
  local corpus="$out/corpus/$name" findings="$out/findings/$name"
  mkdir -p "$corpus" "$findings"
  local dirs=("$corpus" "fuzz/corpus/$name")
  if [[ -d "fuzz/regressions/$name" ]]; then dirs+=("fuzz/regressions/$name"); fi
  # The scratch files of the targets go to a folder of their own.
  TMPDIR="$out/tmp" "$out/fuzz/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb="$rss" \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" \
    >"$out/logs/$name.log" 2>&1
}

mkdir -p "$out/tmp"
declare -A pids=()
failed=()
for line in "${targets[@]}"; do
  read -r name rss <<<"$line"
  while ((${#pids[@]} >= parallel)); do
    wait -n -p done_pid || true
    for n in "${!pids[@]}"; do
      if [[ ${pids[$n]} == "${done_pid:-}" ]]; then unset "pids[$n]"; fi
    done
  done
  echo "fuzzing $name for ${seconds}s (rss limit ${rss} MB)"
  run_target "$name" "$rss" &
  pids[$name]=$!
done
for name in "${!pids[@]}"; do
  if ! wait "${pids[$name]}"; then failed+=("$name"); fi
done
# Targets that ended earlier report through their logs.
for line in "${targets[@]}"; do
  read -r name _ <<<"$line"
  if ! grep -q "^Done [0-9]* runs" "$out/logs/$name.log"; then
    [[ " ${failed[*]} " == *" $name "* ]] || failed+=("$name")
  fi
done

printf '\n%-18s %12s %10s %8s %8s %10s\n' target runs exec/s cov ft "peak MB"
for line in "${targets[@]}"; do
  read -r name _ <<<"$line"
  log="$out/logs/$name.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  printf '%-18s %12s %10s %8s %8s %10s\n' "$name" "${runs:-?}" "${speed:-?}" "${cov:-?}" \
    "${ft:-?}" "${peak:-?}"
done

if ((${#failed[@]} > 0)); then
  for name in "${failed[@]}"; do
    echo "fuzz target $name found a problem; see $out/logs/$name.log and $out/findings/$name/" >&2
    tail -n 30 "$out/logs/$name.log" >&2
  done
  exit 1
fi
