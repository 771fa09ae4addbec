#!/usr/bin/env bash
# The job-shop runs of docs/results.md, one instance after another on one thread,
# time limits on the solving thread's processor time (the experiment's
# default clock). Usage: results/jobshop/sweeps.sh BIN_DIR OUT_DIR [part...]
# with parts rules, ft, la, ta10, ta80 (all when none is named): the runs of
# the search before N6 and path relinking, `ts` then, whose rules `ts-n5-bj`
# keeps; and la60, la60-A-B and ta60-A-B (la<A> … la<B>, ta<A> … ta<B>,
# two digits each): the search with its defaults at 60 s on la01–la40 and on
# Taillard's instances, in parts that may run side by side (each instance's
# run is the same in any part: a search of its own from seed 1).
set -euo pipefail
build=$1
out=$2
shift 2
parts=${*:-rules ft la ta10 ta80}
range() { for k in $(seq -w "$1" "$2"); do echo "$3$k"; done; }
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
      "$x" -a ts-n5-bj --time-limit 30 --seed "$seed" --stop-at-best --csv "$out/ft-seed$seed.csv" ft06 ft10 > "$out/ft-seed$seed.txt"
    done ;;
  la)
    names=$(for k in $(seq -w 1 40); do echo "la$k"; done)
    "$x" -a ts-n5-bj --time-limit 10 --stop-at-best --csv "$out/la-10s.csv" $names > "$out/la-10s.txt" ;;
  ta10)
    names=$(for k in $(seq -w 1 10); do echo "ta$k"; done)
    "$x" -a ts-n5-bj --time-limit 60 --stop-at-best --csv "$out/ta01-10-60s.csv" $names > "$out/ta01-10-60s.txt" ;;
  ta80)
    "$x" -a ts-n5-bj --time-limit 5 --stop-at-best --csv "$out/ta-5s.csv" taillard-jobshop > "$out/ta-5s.txt" ;;
  la60)
    "$x" -a ts --time-limit 60 --stop-at-best --csv "$out/la-60s.csv" $(range 1 40 la) > "$out/la-60s.txt" ;;
  la60-* | ta60-*)
    IFS=- read -r set first last <<< "$part"
    set=${set%60}
    "$x" -a ts --time-limit 60 --stop-at-best --csv "$out/$set-60s-$first-$last.csv" $(range "$first" "$last" "$set") \
      > "$out/$set-60s-$first-$last.txt" ;;
  *) echo "unknown part $part" >&2; exit 2 ;;
  esac
done
