#!/usr/bin/env bash
# Runs every fuzzer of the native build for longer than `make test` does, each from its own
# corpus (build/native/fuzz/NAME/corpus, which grows from run to run) and the seeds the build puts
# beside it (the program's resources and files). A finding stops that fuzzer and leaves its input
# as build/native/fuzz/NAME/crash-*; fix the fault, then keep the input in the fuzzer's
# regressions folder so every test run tries it again.
# Then "msgfuzz": the message fuzzer posts junk to the real program's windows under Wine, from a
# random seed, starting a fresh program after each failure; each distinct failure is narrowed to
# its smallest reproducer (build/win64/msgfuzz/last-run.log).
#   FUZZ_SECONDS  time per fuzzer (default 180)
#   FUZZERS       names to run (default: every fuzz_* the build made, and msgfuzz)
set -uo pipefail
cd "$(dirname "$0")/.."
bin=build/native/bin
seconds=${FUZZ_SECONDS:-180}
parsers=$(cd "$bin" && ls fuzz_* 2>/dev/null)
[ -n "$parsers" ] || echo "no parser fuzzers in $bin (is clang installed?)"
fuzzers=${FUZZERS:-$parsers msgfuzz}

report=build/native/fuzz/report.txt
mkdir -p build/native/fuzz
printf '%-18s %9s %11s %8s %7s %7s %9s %6s  %s\n' fuzzer seconds executions exec/s cov ft corpus rss result \
  | tee "$report"
failed=0
for f in $fuzzers; do
  [ "$f" = msgfuzz ] && continue
  dir=build/native/fuzz/$f
  mkdir -p "$dir/corpus" "$dir/seeds"
  log=$dir/last-run.log
  start=$(date +%s)
  (cd "$dir" && "../../bin/$f" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
      -print_final_stats=1 corpus seeds) >"$log" 2>&1
  rc=$?
  elapsed=$(( $(date +%s) - start ))
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$log" | tail -1)
  field() { sed -n "s|.* $1: \([^ ]*\).*|\1|p" <<<"$done_line"; }
  stat() { sed -n "s|^stat::$1: *||p" "$log"; }
  execs=$(stat number_of_executed_units)
  rss=$(stat peak_rss_mb)
  result=ok
  if [ $rc -ne 0 ]; then result="FAILED (see $log)"; failed=1; fi
  printf '%-18s %9s %11s %8s %7s %7s %9s %6s  %s\n' "$f" "$elapsed" "${execs:-?}" "$(stat average_exec_per_sec)" \
    "$(field cov)" "$(field ft)" "$(field corp)" "${rss:-?}MB" "$result" | tee -a "$report"
done

if [[ " $fuzzers " == *" msgfuzz "* ]]; then
  dir=build/win64/msgfuzz
  mkdir -p "$dir"
  log=$dir/last-run.log
  (
    . scripts/wine-env.sh
    wine_session
    cd build/win64/bin
    "$WINE64" tess_msgfuzz.exe --seed random --seconds "$seconds" --keep-going --phonebook msgfuzz-demo.pbk
  ) 2>/dev/null | tr -d '\r' >"$log"
  rc=${PIPESTATUS[0]}
  figure=$(grep '^msgfuzz: .* posted' "$log" | tail -1)
  posted=$(sed -n 's/^msgfuzz: \([0-9]*\) messages posted.*/\1/p' <<<"$figure")
  took=$(sed -n 's/.* \([0-9.]*\) s, seed.*/\1/p' <<<"$figure")
  rate=$(awk -v n="${posted:-0}" -v s="${took:-0}" 'BEGIN { if (s > 0) printf "%d", n / s; else print "-" }')
  result=ok
  if [ "$rc" -ne 0 ]; then
    result="FAILED: $(grep -o '^[0-9]* distinct failure(s)' "$log" || echo "see") (see $log)"
    failed=1
  fi
  printf '%-18s %9s %11s %8s %7s %7s %9s %6s  %s\n' msgfuzz "${took%.*}" "${posted:-?}" "$rate" - - - - "$result" \
    | tee -a "$report"
  echo "${figure:-msgfuzz: no figure (see $log)}" | tee -a "$report"
fi
echo "report: $report"
exit $failed
