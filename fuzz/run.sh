#!/usr/bin/env bash
# Builds the fuzz targets (clang, address and undefined-behaviour sanitizers) and runs each for
# the given number of minutes, a few at a time, at the lowest priority.
#
#   fuzz/run.sh MINUTES [TARGET...]
#
# Environment: BUILD_DIR (default build-fuzz), JOBS (targets at the same time, default 3),
# WORK_DIR (default $BUILD_DIR/fuzz-runs), TIMEOUT (seconds one input may take, default 120:
# decoding a large picture under the sanitizers on a loaded machine takes tens of seconds). Each target keeps its grown corpus and its findings
# (crash-*, leak-*, timeout-*, oom-*) in WORK_DIR/<target>/; the seeds come from fuzz/corpus/.
# The summary lists executions and findings per target; the exit status is 1 when anything
# was found.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
minutes=${1:?usage: fuzz/run.sh MINUTES [TARGET...]}
shift
all=(mt_file_fuzz edi_fuzz package_fuzz ini_fuzz gif_fuzz jpeg_fuzz component_reader_fuzz chart_file_fuzz
     metafile_fuzz)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
build=${BUILD_DIR:-$root/build-fuzz}
jobs=${JOBS:-3}
work=${WORK_DIR:-$build/fuzz-runs}

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVAROMARK_FUZZ=ON -DVAROMARK_TESTS=OFF -DVAROMARK_BENCH=OFF >/dev/null || exit 2
fi
nice -n 19 cmake --build "$build" -j3 --target "${targets[@]}" || exit 2

seed() {  # seed folder of a target
  local t=$1 dir=$work/$1/seeds
  mkdir -p "$dir"
  [ -d "$here/corpus/${t%_fuzz}" ] && cp -n "$here/corpus/${t%_fuzz}"/* "$dir"/ 2>/dev/null
  if [ "$t" = mt_file_fuzz ]; then
    for f in "$root"/samples/*.MT* "$root"/samples/*.AMT; do [ -f "$f" ] && cp -n "$f" "$dir"/; done
  fi
  echo "$dir"
}

run_one() {
  local t=$1 dir=$work/$1
  mkdir -p "$dir/corpus"
  local seeds
  seeds=$(seed "$t")
  local maxlen=65536
  [ "$t" = mt_file_fuzz ] && maxlen=420000
  # Standard output (the programs' logs) is closed; libFuzzer reports on standard error.
  LSAN_OPTIONS="suppressions=$here/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    QT_QPA_PLATFORM=offscreen nice -n 19 "$build/fuzz/$t" "$dir/corpus" "$seeds" \
    -max_total_time=$((minutes * 60)) -max_len=$maxlen -rss_limit_mb=4096 -timeout=${TIMEOUT:-120} \
    -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$dir/" >"$dir/log.txt" 2>&1
}

mkdir -p "$work"
running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

found=0
printf '%-24s %14s %10s %s\n' target executions findings files
for t in "${targets[@]}"; do
  dir=$work/$t
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" 2>/dev/null | grep -o '[0-9]*$' | tail -1)
  files=$(cd "$dir" && ls -1 crash-* leak-* timeout-* oom-* slow-unit-* 2>/dev/null | grep -v '^slow-unit' | tr '\n' ' ')
  n=$(echo "$files" | wc -w)
  [ "$n" -gt 0 ] && found=1
  printf '%-24s %14s %10s %s\n' "$t" "${runs:-?}" "$n" "$files"
done
exit $found
