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
# data with line 1 replaced by $2 (or no data file, for "(none)"), 25 points
# and CR LF line ends, with the arguments after $2 and LC_ALL=$locale. Leaves
# the exit status in $status, the outputs (CR LF made LF) in $work/out and
# $work/err, the editor's command lines in $work/log, and the folder as it
# was before in $before.
run_windows() {
  mkdir -p "$work/$1"
  { printf '%s\r\n' "$2"; sed -e 1d -e '8s/^9 /25 /' -e 's/$/\r/' "$root/example/dados.txt"; } >"$work/$1/dados.txt"
  [ "$2" != "(none)" ] || rm "$work/$1/dados.txt"
  before=$(snapshot "$work/$1")
  : >"$work/notepad.log"
  status=0
  (cd "$work/$1" && LC_ALL=${locale:-C.UTF-8} "$wine" "$bin/arrasto.exe" "${@:3}" \
    </dev/null >"$work/out" 2>"$work/err") || status=$?
  sed -i 's/\r$//' "$work/out" "$work/err"
  tr -d '\r' <"$work/notepad.log" >"$work/log"
}
# A POSIX path as the Windows program sees it: on drive Z:, with backslashes.
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
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
# M0 from the report beside it, whose name holds the "ç" and whose lines end in CR LF.
grep -q '>abaixo de M₀ = ' "$work/run/${results[0]}.svg" || fail "arrasto-grafico.exe did not read the run's report"

# --- Curve files dropped on arrasto-grafico.exe from the desktop, where it
# runs alone in a console window of its own (on_desktop, below):
# several make one comparison beside the first, and the picture opens in the
# program associated with .svg, here the stand-in, which logs its command
# line in $work/notepad.log (it writes ..\notepad.log from the folder the
# picture tool ran in). From a prompt nothing opens.
winpath() { echo "Z:$(tr / '\\' <<<"$1")"; }
cp "$standin" "$bin/visualizador.exe"
"$wine" reg add 'HKCR\.svg' /ve /d arrasto.teste /f >/dev/null 2>&1
"$wine" reg add 'HKCR\arrasto.teste\shell\open\command' /ve /f \
  /d "\"$(winpath "$bin/visualizador.exe")\" \"%1\"" >/dev/null 2>&1
mkdir -p "$work/drop/outra pasta"
cp "$work/run/${results[0]}" "$work/drop/Curva1_primeira"
cp "$work/run/${results[0]}" "$work/drop/outra pasta/Curva1_segunda ç"
# Runs a Windows program as Explorer starts it, with a console window of its
# own (which wine gives a program started on a terminal of its own, here a
# tmux session on a private server): in the folder $1, the program $2 with
# the arguments after it. Presses Enter until the program has ended, leaves
# its exit status in $status and its standard error in $work/err.
on_desktop() {
  local folder=$1 command="" a
  shift
  for a in "$@"; do command+=" $(printf %q "$a")"; done
  rm -f "$work/status"
  tmux -L "arrasto-$$" new-session -d -x 300 -y 10 "cd $(printf %q "$folder") &&
    WINEPREFIX=$(printf %q "$WINEPREFIX") WINEDEBUG=-all LC_ALL=C.UTF-8 \
    $(printf %q "$wine")$command 2>$(printf %q "$work/err"); echo \$? >$(printf %q "$work/status")"
  for _ in $(seq 60); do
    [ -s "$work/status" ] && break
    tmux -L "arrasto-$$" send-keys C-m 2>/dev/null || true
    sleep 0.5
  done
  tmux -L "arrasto-$$" kill-server 2>/dev/null || true
  status=$(cat "$work/status" 2>/dev/null || echo none)
}
# Drops the files named by "$@" on the .exe from $work/drop and waits for
# the viewer's log line, if one comes.
drop() {
  : >"$work/notepad.log"
  on_desktop "$work/drop" "$(winpath "$grafico")" "$@"
  for _ in $(seq 20); do [ ! -s "$work/notepad.log" ] || break; sleep 0.5; done
  tr -d '\r' <"$work/notepad.log" >"$work/log"
}
drop "$(winpath "$work/drop/Curva1_primeira")" "$(winpath "$work/drop/outra pasta/Curva1_segunda ç")"
[ "$status" -eq 0 ] && grep -q '>segunda ç</text>' "$work/drop/comparacao.svg" 2>/dev/null &&
  [ "$(ls "$work/drop" "$work/drop/outra pasta" | grep -c '\.svg$')" -eq 1 ] ||
  fail "two curve files dropped: exit status $status, no comparison beside the first (or single pictures)"
[ "$(cat "$work/log")" = "\"$(winpath "$bin/visualizador.exe")\" \"$(winpath "$work/drop/comparacao.svg")\"" ] ||
  fail "two curve files dropped: the viewer was called as: $(cat "$work/log")"
drop "$(winpath "$work/drop/outra pasta/Curva1_segunda ç")"
[ "$(cat "$work/log")" = "\"$(winpath "$bin/visualizador.exe")\" \"$(winpath "$work/drop/outra pasta/Curva1_segunda ç.svg")\"" ] ||
  fail "one curve file dropped: the viewer was called as: $(cat "$work/log")"
: >"$work/notepad.log"
(cd "$work/drop" && "$wine" "$grafico" Curva1_primeira >/dev/null 2>&1) && sleep 2 && [ ! -s "$work/notepad.log" ] ||
  fail "from a prompt, the viewer was called: $(cat "$work/notepad.log")"
# A picture replaces only an older picture: the data file and the null
# device are refused, a comparison drawn before is replaced.
for target in dados.txt NUL; do
  before=$(snapshot "$work/run")
  status=0
  (cd "$work/run" && "$wine" "$grafico" -o $target "${results[0]}" >"$work/out" 2>"$work/err") || status=$?
  [ "$status" -eq 1 ] && [ "$(snapshot "$work/run")" = "$before" ] &&
    grep -q "^\"$target\": \(exists and is not an SVG picture\|not a plain file\)" "$work/err" ||
    fail "-o $target: exit status $status, $(cat "$work/err")"
done
(cd "$work/drop" && "$wine" "$grafico" -o comparacao.svg Curva1_primeira >"$work/out" 2>&1) &&
  ! grep -q segunda "$work/drop/comparacao.svg" || fail "-o over an older comparison: $(cat "$work/out")"
# The trajectory curve in place of the first: the line says which file to
# use (however its quoting shows the "ç").
status=0
(cd "$work/run" && "$wine" "$grafico" "${results[1]}" >"$work/out" 2>"$work/err") || status=$?
[ "$status" -eq 1 ] && [[ "$(tr -d '\r' <"$work/err")" == *'; use "Curva1_Lan'*'amento do foguete 2 ensaio" instead' ]] ||
  fail "the trajectory curve: exit status $status, $(cat "$work/err")"

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
dropped||C:\pasta com espaço\Curva1_x|x|2|0|err|arrasto: unexpected argument "C:\\\\pasta com espaço\\\\Curva1_x": the program takes no arguments; it works on "dados.txt" in the working folder (see "arrasto --help")
pt|pt_BR.UTF-8|extra|x|2|0|err|arrasto: argumento inesperado "extra": o programa não recebe argumentos; ele trabalha com o "dados.txt" da pasta de trabalho (veja "arrasto --help")
missing|||(none)|1|1|err|dados.txt: no such file in the working folder ($(windows_path "$work/missing")): create it there (the example's dados.txt is a start) or run arrasto in the folder that holds it
ROWS

# Standard output that cannot take the text is a failure, said in one line.
status=0
"$wine" "$bin/arrasto.exe" --version </dev/null >/dev/full 2>"$work/err" || status=$?
[ "$status" -eq 1 ] && [ "$(tr -d '\r' <"$work/err")" = "standard output: cannot write: No space left on device" ] ||
  fail "full: exit status $status, errors: $(cat "$work/err")"

# --- Started from Explorer, with a console window of its own (on_desktop):
# a file dropped on arrasto.exe, and a folder without
# dados.txt, are answered in words a double-click user can follow, then the
# window waits for Enter, pressed until the program has ended.
# Folder | data file line 1 (or "(none)") | argument | exit status | first line
while IFS='|' read -r case line1 argument code expected; do
  run_windows "$case" "$line1"
  on_desktop "$work/$case" "$bin/arrasto.exe" ${argument:+"$argument"}
  [ "$status" = "$code" ] &&
    [ "$(tr -d '\r' <"$work/err")" = "$(printf '%s\nPress Enter to close.' "$expected")" ] ||
    fail "desktop $case: exit status $status, errors: $(cat "$work/err")"
done <<ROWS
dropped-desktop|x|C:\pasta\Curva1_x|2|arrasto: arrasto reads only the file dados.txt in its own folder, not a file dropped on it: put your data in that dados.txt and double-click arrasto.exe
missing-desktop|(none)||1|dados.txt: there is no dados.txt in this folder ($(windows_path "$work/missing-desktop")). Copy here the dados.txt that came with arrasto, or create one (LEIAME.txt says what each line holds), then double-click arrasto.exe again
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
