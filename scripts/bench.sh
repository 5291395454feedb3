#!/usr/bin/env bash
# The benchmarks: builds the release configuration with the benchmark programs, runs every
# bench_<name> (or those whose name starts with one of the arguments: `bench.sh dxf xml`) one
# after the other, then prints the table of ratios against the peers. Each program's console
# output and JSON stay in build-bench/results/. KESTREL_BENCH_MIN_TIME: seconds each benchmark
# runs at least (default 0.5). Fails when a program fails or the table misses a result.
set -euo pipefail
# Packages: scripts/install_packages.sh bench.
source "$(dirname "$0")/common.sh"
build="$KESTREL_ROOT/build-bench"
kestrel_build bench

# True when the program name starts with one of the arguments after it, or there are none.
selected() {
  local name="$1"
  shift
  [ $# -eq 0 ] && return 0
  local prefix
  for prefix in "$@"; do
    [[ "$name" == "$prefix"* ]] && return 0
  done
  return 1
}

# bench_dxf_load times the reader before its rewrite to every release on its file too.
if selected dxf_load "$@"; then
  KESTREL_READER_BEFORE_REWRITE="$(bash "$KESTREL_ROOT/bench/baseline/build_reader.sh" e982160 "$build")"
  export KESTREL_READER_BEFORE_REWRITE
fi

shopt -s nullglob
all=()
programs=()
for program in "$build"/bin/bench_*; do
  name="${program##*/bench_}"
  all+=("$name")
  selected "$name" "$@" && programs+=("$name")
done
if [ ${#programs[@]} -eq 0 ]; then
  echo "no benchmark program starts with: $*; the programs: ${all[*]}" >&2
  exit 2
fi

results="$build/results"
mkdir -p "$results"
status=0
jsons=()
for name in "${programs[@]}"; do
  json="$results/$name.json"
  rm -f "$json"
  jsons+=("$json")
  echo "bench_$name ..." >&2
  start=$SECONDS
  if ! "$build/bin/bench_$name" --benchmark_out="$json" --benchmark_out_format=json \
      --benchmark_min_time="${KESTREL_BENCH_MIN_TIME:-0.5}" >"$results/$name.txt" 2>&1; then
    echo "bench_$name failed; its output: $results/$name.txt" >&2
    status=1
  fi
  echo "bench_$name done in $((SECONDS - start)) s" >&2
done

echo >&2
python3 "$KESTREL_ROOT/bench/ratio_table.py" "${jsons[@]}" || status=1
exit $status
