#!/usr/bin/env bash
# Whole-process figures: arrasto on the bundled example with IT = 1,000,000
# (about 124 MB of curve files) in a temporary folder whose PATH has no
# "Notepad", so no editor runs. With a million points, seconds per run read
# as microseconds per point.
#
#   bench/whole_run.sh [path/to/arrasto]    (default: build/default/src/arrasto)
#
# Needs hyperfine and GNU time (apt-get install hyperfine time); strace, if
# present, shows what the fsync and rename of each result file cost.
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

cd "$work/1000000"
echo "== 1,000,000 points, replacing the previous run's files"
"$hyperfine" -N --warmup 2 --runs 15 "$exe"
echo "== 1,000,000 points, in a folder without them"
"$hyperfine" -N --warmup 2 --runs 15 \
  --prepare "rm -f Curva1_foguete Curva_trajet$(printf '\xc3\xb3')ria_foguete foguete" "$exe"

if command -v strace >/dev/null; then
  echo "== fsync and rename of the result files (seconds), replacing"
  strace -f -T -e trace=fsync,rename "$exe" 2>&1 | grep -E '^(\[pid +[0-9]+\] )?(fsync|rename)' |
    sed -E 's/^\[pid +[0-9]+\] //; s/\(.*<([0-9.]+)>$/ \1/'
fi

echo "== peak resident memory (KiB)"
for it in 10 1000000; do
  (cd "$work/$it" && /usr/bin/time -f "IT=$it: %M" "$exe")
done
