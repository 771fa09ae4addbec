#!/usr/bin/env bash
# The job-shop runs of RESULTS.md, one instance after another on one thread,
# time limits on the solving thread's processor time (the experiment's
# default clock). Usage: results/jobshop/sweeps.sh BIN_DIR OUT_DIR [part...]
# with parts rules, ft, la, ta10, ta80 (all when none is named).
set -euo pipefail
build=$1
out=$2
shift 2
parts=${*:-rules ft la ta10 ta80}
x=$build/zurududo-experiment
mkdir -p "$out"
for part in $parts; do
  case $part in
  rules)
    for rule in spt lpt mwkr lwkr mopnr fifo random; do
      for variant in "" -nd; do
        "$x" -a "$rule$variant" --csv "$out/rules-$rule$variant.csv" taillard-jobshop > "$out/rules-$rule$variant.txt"
      done
    done ;;
  ft)
    for seed in 1 2 3 4 5; do
      "$x" -a ts --time-limit 30 --seed "$seed" --stop-at-best --csv "$out/ft-seed$seed.csv" ft06 ft10 > "$out/ft-seed$seed.txt"
    done ;;
  la)
    names=$(for k in $(seq -w 1 40); do echo "la$k"; done)
    "$x" -a ts --time-limit 10 --stop-at-best --csv "$out/la-10s.csv" $names > "$out/la-10s.txt" ;;
  ta10)
    names=$(for k in $(seq -w 1 10); do echo "ta$k"; done)
    "$x" -a ts --time-limit 60 --stop-at-best --csv "$out/ta01-10-60s.csv" $names > "$out/ta01-10-60s.txt" ;;
  ta80)
    "$x" -a ts --time-limit 5 --stop-at-best --csv "$out/ta-5s.csv" taillard-jobshop > "$out/ta-5s.txt" ;;
  *) echo "unknown part $part" >&2; exit 2 ;;
  esac
done
