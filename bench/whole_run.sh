#!/usr/bin/env bash
# Whole-process figures: arrasto on the bundled example with IT = 1,000,000
# (about 124 MB of curve files) in a temporary folder whose PATH has no
# "Notepad", so no editor runs. With a million points, seconds per run read
# as microseconds per point.
#
#   bench/whole_run.sh [path/to/arrasto]    (default: build/default/src/arrasto)
#
# With FORTRAN_SWEEP naming the same sweep written as a plain Fortran
# program (one that reads dados.txt in its working directory, starts no
# editor and writes its curve files and report), it is built with gfortran
# -O2 -ffp-contract=off and timed against arrasto in ROUNDS (default 7)
# rounds of 5 runs each, the two alternating and taking turns to go first,
# each in a folder of its own; the medians and the ratio of each round are
# printed, then the medians over the rounds.
#
# Needs hyperfine and GNU time (apt-get install hyperfine time; gfortran
# for FORTRAN_SWEEP); strace, if present, shows what the fsync and rename
# of each result file cost.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
exe="$(realpath "${1:-$here/build/default/src/arrasto}")"
hyperfine="$(command -v hyperfine)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
export PATH="$work/bin:/usr/bin:/bin"  # no Notepad here

for it in 10 1000000; do
  mkdir "$work/$it"
  awk -v it="$it" 'NR == 8 { print it; next } { print }' "$here/example/dados.txt" >"$work/$it/dados.txt"
done

echo "== load before: $(cut -d' ' -f1-3 /proc/loadavg)"
cd "$work/1000000"
echo "== 1,000,000 points, replacing the previous run's files"
"$hyperfine" -N --warmup 2 --runs 15 "$exe"
echo "== 1,000,000 points, in a folder without them"
"$hyperfine" -N --warmup 2 --runs 15 \
  --prepare "rm -f Curva1_foguete Curva_trajet$(printf '\xc3\xb3')ria_foguete foguete" "$exe"

if [[ -n "${FORTRAN_SWEEP:-}" ]]; then
  gfortran -O2 -ffp-contract=off "$FORTRAN_SWEEP" -o "$work/bin/fortran_sweep"
  mkdir "$work/fortran"
  cp dados.txt "$work/fortran/"
  echo "== against the Fortran sweep (gfortran -O2), seconds: round, arrasto, Fortran, ratio"
  time_one() {  # folder command -> median seconds of 5 runs after 1 warm-up
    (cd "$1" && "$hyperfine" -N --warmup 1 --runs 5 --export-json "$work/t.json" "$2" >/dev/null)
    jq '.results[0].median' "$work/t.json"
  }
  for ((round = 1; round <= ${ROUNDS:-7}; round++)); do
    if ((round % 2)); then
      a=$(time_one "$work/1000000" "$exe"); f=$(time_one "$work/fortran" "$work/bin/fortran_sweep")
    else
      f=$(time_one "$work/fortran" "$work/bin/fortran_sweep"); a=$(time_one "$work/1000000" "$exe")
    fi
    echo "$round $a $f $(echo "$f / $a" | bc -l)"
  done | tee "$work/rounds"
  sort -n -k2 "$work/rounds" | awk '{a[NR] = $2} END {printf "median arrasto %.3f s\n", a[int((NR + 1) / 2)]}'
  sort -n -k3 "$work/rounds" | awk '{f[NR] = $3} END {printf "median Fortran %.3f s\n", f[int((NR + 1) / 2)]}'
  sort -n -k4 "$work/rounds" | awk '{r[NR] = $4} END {printf "median ratio %.1f\n", r[int((NR + 1) / 2)]}'
fi

if command -v strace >/dev/null; then
  echo "== fsync and rename of the result files (seconds), replacing"
  strace -f -T -e trace=fsync,rename "$exe" 2>&1 | grep -E '^(\[pid +[0-9]+\] )?(fsync|rename)' |
    sed -E 's/^\[pid +[0-9]+\] //; s/\(.*<([0-9.]+)>$/ \1/'
fi

echo "== peak resident memory (KiB)"
for it in 10 1000000; do
  (cd "$work/$it" && /usr/bin/time -f "IT=$it: %M" "$exe")
done
echo "== load after: $(cut -d' ' -f1-3 /proc/loadavg)"
