#!/usr/bin/env bash
# End-to-end runs of the Windows programs under wine, as a student meets
# them: in a folder whose name holds a blank and an accented letter, beside
# the stand-in Notepad.exe that logs each editor call (notepad_standin.cpp),
# each run in a fresh folder holding a data file with CR LF line ends.
# Both the cross build (.ci/windows.sh) and the unzipped package (.ci/zip.sh)
# are checked with it.
#
# usage: end_to_end.sh WINE ARRASTO_EXE GRAFICO_EXE NOTEPAD_STANDIN_EXE POSIX_ARRASTO
# WINEPREFIX (already booted) and WINEDEBUG come from the environment.
set -euo pipefail
# wine maps Windows names to file-name bytes by the locale: UTF-8.
export LC_ALL=C.UTF-8

wine=$1 grafico=$3 standin=$4 posix_arrasto=$5
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^project(arrasto VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
bin="$work/Programa do aluno ç"
mkdir "$bin"
cp "$2" "$bin/arrasto.exe"
cp "$standin" "$bin/Notepad.exe"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs arrasto.exe in the folder $work/$1 (made if need be) on the example
# data with line 1 replaced by $2, 25 points and CR LF line ends, with the
# arguments after $2 and LC_ALL=$locale. Leaves the exit status in $status,
# the outputs (CR LF made LF) in $work/out and $work/err, the editor's
# command lines in $work/log, and the folder as it was before in $before.
run_windows() {
  mkdir -p "$work/$1"
  { printf '%s\r\n' "$2"; sed -e 1d -e 's/^9 .*IT$/25   IT/' -e 's/$/\r/' "$root/example/dados.txt"; } >"$work/$1/dados.txt"
  before=$(snapshot "$work/$1")
  : >"$work/notepad.log"
  status=0
  (cd "$work/$1" && LC_ALL=${locale:-C.UTF-8} "$wine" "$bin/arrasto.exe" "${@:3}" \
    </dev/null >"$work/out" 2>"$work/err") || status=$?
  sed -i 's/\r$//' "$work/out" "$work/err"
  tr -d '\r' <"$work/notepad.log" >"$work/log"
}
# Each file of a folder, hidden ones included, with its checksum.
snapshot() { (cd "$1" && for f in * .*; do [ ! -f "$f" ] || echo "$f $(cksum <"$f")"; done); }

# --- A run name with "ç" and blanks, whose editor command line is longer
# than 50 characters; a hidden file of the user's that looks like the
# temporary file of an older version, which stays as it is.
name='Lançamento do foguete 2 ensaio'
results=("Curva1_$name" "Curva_trajetória_$name" "$name")
mkdir "$work/run"
echo left over >"$work/run/.arrasto-4000000-0.tmp"
run_windows run "'$name'  nome da corrida"
[ "$status" -eq 0 ] && [ ! -s "$work/out" ] && [ ! -s "$work/err" ] ||
  fail "run: exit status $status, output: $(cat "$work/out" "$work/err")"
[ "$(cat "$work/log")" = "$(printf 'Notepad "%s"\n' dados.txt "${results[@]}")" ] ||
  fail "run: editor command lines: $(tr '\n' '|' <"$work/log")"
[ "$(ls -A "$work/run")" = "$(printf '%s\n' .arrasto-4000000-0.tmp dados.txt "${results[@]}" | sort)" ] &&
  [ "$(cat "$work/run/.arrasto-4000000-0.tmp")" = "left over" ] ||
  fail "run: the folder holds: $(ls -A "$work/run" | tr '\n' '|')"
# Each result in CR LF, and otherwise the POSIX build's bytes on the same data.
mkdir "$work/posix"
tr -d '\r' <"$work/run/dados.txt" >"$work/posix/dados.txt"
(cd "$work/posix" && PATH=/nonexistent "$posix_arrasto") || fail "the POSIX run failed"
for file in "${results[@]}"; do
  [ "$(grep -c $'\r$' "$work/run/$file")" -eq "$(wc -l <"$work/run/$file")" ] &&
    [ "$(tail -c 2 "$work/run/$file" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "$file: not CR LF throughout"
  diff <(tr -d '\r' <"$work/run/$file") "$work/posix/$file" >&2 || fail "$file differs from the POSIX build's"
done

# The first curve file dropped on arrasto-grafico.exe: its whole Windows
# path, "ç" and blanks included, as the one argument.
(cd "$work" && "$wine" "$grafico" "Z:$(tr / '\\' <<<"$work/run/${results[0]}")" >"$work/out" 2>&1) ||
  fail "arrasto-grafico.exe: $(cat "$work/out")"
grep -q '</svg>' "$work/run/${results[0]}.svg" 2>/dev/null || fail "arrasto-grafico.exe drew no picture"

# --- Runs that stop with one line and write or replace no file: run names
# Windows cannot take, a result file the user made read-only, and the
# arguments (a file dropped on the .exe among them), with the messages in
# the language of the Windows interface (wine takes it from LC_ALL).
mkdir "$work/readonly"
echo older >"$work/readonly/$name"
chmod a-w "$work/readonly/$name"
# Name | LC_ALL | argument | line 1 | exit status | editor calls | stream | its first line
while IFS='|' read -r case locale argument line1 code calls stream expected; do
  locale=$locale run_windows "$case" "$line1" ${argument:+"$argument"}
  [ "$status" -eq "$code" ] || fail "$case: exit status $status, expected $code"
  [ "$(head -1 "$work/$stream")" = "$expected" ] && [ "$(wc -l <"$work/err")" -le 1 ] &&
    [ "$(cat "$work/out" "$work/err" | wc -l)" -eq "$(wc -l <"$work/$stream")" ] ||
    fail "$case: output: $(cat "$work/out" "$work/err")"
  [ "$(wc -l <"$work/log")" -eq "$calls" ] || fail "$case: $(wc -l <"$work/log") editor calls, expected $calls"
  [ "$(snapshot "$work/$case")" = "$before" ] || fail "$case: files written or replaced"
done <<ROWS
device|||'nul.txt'|1|1|err|dados.txt:1: NOME: the run name cannot name a file: the report file "nul.txt" is a device name on Windows
colon|||'ensaio:2'|1|1|err|dados.txt:1: NOME: the run name cannot name a file: the first curve file "Curva1_ensaio:2" holds a ':'
readonly|||'$name'|1|1|err|$name: cannot replace: the file is read-only
help||/?|x|0|0|out|Usage: arrasto
version||--version|x|0|0|out|arrasto $version
dropped||C:\pasta com espaço\Curva1_x|x|2|0|err|arrasto: the program takes no arguments; it works on "dados.txt" in the working folder (see "arrasto --help")
pt|pt_BR.UTF-8|extra|x|2|0|err|arrasto: o programa não recebe argumentos; ele trabalha com o "dados.txt" da pasta de trabalho (veja "arrasto --help")
ROWS

# --- The older results held open by another program, as a spreadsheet
# holds a file (sharing it for reading only): the run stops with one line
# naming the file, and all three older files stay as they were, though the
# curve files could have been replaced.
mkdir "$work/held"
for file in "${results[@]}"; do echo older >"$work/held/$file"; done
(cd "$work/held" && "$wine" "$standin" --hold "$name") &
holder=$!
for _ in $(seq 1000); do [ -e "$work/holding" ] && break; sleep 0.02; done
run_windows held "'$name'"
touch "$work/release"
wait "$holder" || fail "held: the program holding the report failed"
[ "$status" -eq 1 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
  grep -q "^$name: cannot replace: ." "$work/err" || fail "held: exit status $status, output: $(cat "$work/out" "$work/err")"
[ "$(snapshot "$work/held")" = "$before" ] || fail "held: files written or replaced"

# --- A set that a run killed half-way left: the older curve file moved
# aside, a new file written. The next run puts the older file back and
# removes the new one as it starts, before its editor, even though it then
# stops on its run name.
token=0123456789abcdef
mkdir "$work/halfmoved"
for file in "${results[@]}"; do echo older >"$work/halfmoved/$file"; done
mv "$work/halfmoved/${results[0]}" "$work/halfmoved/.arrasto-$token-0.old"
echo new >"$work/halfmoved/.arrasto-$token-1.new"
{
  printf 'arrasto journal\nundo\n'
  for i in 0 1 2; do printf '%d %d %s\n' $i "$(printf %s "${results[$i]}" | wc -c)" "${results[$i]}"; done
} >"$work/halfmoved/.arrasto-$token.journal"
run_windows halfmoved "'nul.txt'"
[ "$status" -eq 1 ] && [ "$(ls -A "$work/halfmoved")" = "$(printf '%s\n' dados.txt "${results[@]}" | sort)" ] &&
  [ "$(cd "$work/halfmoved" && cat "${results[@]}")" = "$(printf 'older\n%.0s' 1 2 3)" ] ||
  fail "halfmoved: exit status $status, the folder holds: $(ls -A "$work/halfmoved" | tr '\n' '|')"

# --- A Notepad.exe in the working folder (come with the data, say) is never
# run: with none beside the program, the system's is, which the override
# keeps from starting here.
rm "$bin/Notepad.exe"
mkdir "$work/planted"
cp "$standin" "$work/planted/Notepad.exe"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};notepad.exe=n" run_windows planted "'$name'"
[ "$status" -eq 0 ] && [ ! -s "$work/log" ] && [ -f "$work/planted/$name" ] ||
  fail "planted: exit status $status, editor command lines: $(tr '\n' '|' <"$work/log")"

[ "$failures" -eq 0 ] || { echo "end-to-end under wine: $failures failures" >&2; exit 1; }
echo "end-to-end under wine: passed"
