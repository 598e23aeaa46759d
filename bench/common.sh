# Shared by the benchmark scripts (sourced): timing, interleaved comparison, report.
#
# compare NAME TOOL OURS -- THEIRS: runs both commands in turn, one warm-up and then
# 3 timed rounds, and prints the best time of each and their ratio (also left in RATIO). Interleaving keeps
# a drifting disk from favouring either side. Every run writes to a fresh place (RUN
# counts the runs); $CLEAN, when set, removes the outputs after the last round. Cases
# of many files set none and keep theirs until their script ends: a file system that
# has just freed many files places new ones slowly, for minutes (ext4 without a journal
# looks at each inode freed lately before it takes one: on this machine 20,000 new
# files took 2 to 8 s instead of 0.3 s for several minutes after some 100,000 were
# removed), and that would slow the case after it. Dirty data of the previous run is
# written out (sync) before each timed run.
now() { date +%s%N; }
RUN=0
compare() {
  local name=$1 tool=$2; shift 2
  local ours=() theirs=() seen=0 a
  for a in "$@"; do
    if [ "$a" = "--" ]; then seen=1; elif [ $seen -eq 0 ]; then ours+=("$a"); else theirs+=("$a"); fi
  done
  local best_ours=0 best_theirs=0 t0 t1 i
  RUN=$((RUN + 1)); "${ours[@]}" >/dev/null; RUN=$((RUN + 1)); "${theirs[@]}" >/dev/null
  for i in 1 2 3; do
    RUN=$((RUN + 1)); sync; t0=$(now); "${ours[@]}" >/dev/null; t1=$(now)
    if [ "$best_ours" -eq 0 ] || [ $((t1 - t0)) -lt "$best_ours" ]; then best_ours=$((t1 - t0)); fi
    RUN=$((RUN + 1)); sync; t0=$(now); "${theirs[@]}" >/dev/null; t1=$(now)
    if [ "$best_theirs" -eq 0 ] || [ $((t1 - t0)) -lt "$best_theirs" ]; then best_theirs=$((t1 - t0)); fi
  done
  eval "${CLEAN:-}"; sync
  report "$name" "$best_ours" "$best_theirs" "$tool"
  RATIO=$(ratio "$best_ours" "$best_theirs")
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v a="$1" 'BEGIN { printf "%.0f ms", a / 1e6 }'; }
report() { # name ours theirs tool
  printf '%-34s parvela %9s  %-10s %9s  ratio %s\n' "$1" "$(ms "$2")" "$4" "$(ms "$3")" "$(ratio "$2" "$3")"
}

# peak CMD...: runs it once, output dropped; leaves its wall time in ns in TIME_NS and its
# peak resident memory in KiB (GNU time's "Maximum resident set size") in PEAK_KB.
peak() {
  local out t0 t1
  out=$(mktemp)
  t0=$(now); /usr/bin/time -f '%M' -o "$out" "$@" >/dev/null; t1=$(now)
  TIME_NS=$((t1 - t0)); PEAK_KB=$(tail -n 1 "$out"); rm -f "$out"
}
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MiB", k / 1024 }'; }
# at_most VALUE LIMIT and below VALUE LIMIT: "yes" or "no".
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { print (a <= b) ? "yes" : "no" }'; }
below() { awk -v a="$1" -v b="$2" 'BEGIN { print (a < b) ? "yes" : "no" }'; }

# goal CASE MEASURED GOAL MET: one row of the table of goals that make bench prints last
# (bench/goal-table), collected in the file $BENCH_GOALS when that is set.
goal() {
  if [ -n "${BENCH_GOALS:-}" ]; then printf '%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" >> "$BENCH_GOALS"; fi
}
