#!/usr/bin/env bash
# End-to-end runs of the Windows build under wine, each in a fresh folder
# holding a data file with CR LF line ends. The program runs from a folder
# of its own beside the stand-in Notepad.exe, which records every editor
# call (tests/windows/notepad_standin.cpp).
# Checks the editor calls, the file names, the line ends, and the numbers
# against the POSIX build run on the same data.
#
# usage: end_to_end.sh WINE ARRASTO_EXE NOTEPAD_STANDIN_EXE POSIX_ARRASTO
# WINEPREFIX (already booted) and WINEDEBUG come from the environment.
set -euo pipefail
export LC_ALL=C

wine=$1 arrasto_exe=$2 standin_exe=$3 posix_arrasto=$4
here=$(cd "$(dirname "$0")" && pwd)
example=$here/../../example/dados.txt
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
mkdir "$work/bin"
cp "$arrasto_exe" "$work/bin/arrasto.exe"
cp "$standin_exe" "$work/bin/Notepad.exe"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The example data with another run name (line 1) and more points, as a
# Windows editor saves it: CR LF at every line end. $1 is line 1.
data_file() {
  { printf '%s\r\n' "$1"; tail -n +2 "$example" | sed -e 's/^9 .*IT$/25   IT/' -e 's/$/\r/'; }
}

# Runs $work/bin/arrasto.exe (or $program) in the folder $work/$1 (made if
# need be) holding the data file (its bytes on standard input), with the
# arguments that follow $1. Leaves the exit status in $status, standard
# error in $work/$1.err (CR LF made LF) and the editor log in $work/$1.log.
# Nothing may go to standard output when there are no arguments.
run_windows() {
  local dir=$work/$1
  mkdir -p "$dir"
  cat >"$dir/dados.txt"
  rm -f "$work/notepad.log"
  status=0
  # wine maps Windows names to the folder's bytes by the locale: UTF-8.
  (cd "$dir" && LC_ALL=C.UTF-8 "$wine" "${program:-$work/bin/arrasto.exe}" "${@:2}" >"$work/$1.out" 2>"$work/$1.err.raw") || status=$?
  tr -d '\r' <"$work/$1.err.raw" >"$work/$1.err"
  [ $# -eq 1 ] && [ -s "$work/$1.out" ] && fail "$1: something written to standard output"
  mv "$work/notepad.log" "$work/$1.log" 2>/dev/null || : >"$work/$1.log"
}

# Call $2 (from 1) of the editor log $1: its "call" line and those after it.
call_block() {
  awk -v n="$2" '/^call /{k++} k==n' "$1"
}

# Compares a result file of the Windows run with the POSIX one: the same
# records, texts and blanks; numbers equal to 14 significant digits (the
# math libraries may differ in the last bit).
same_numbers() {
  awk -v label="$3" '
    function skeleton(s) { gsub(/-?[0-9]+\.[0-9]*(E[-+][0-9]+)?/, "#", s); return s }
    function numbers(s, out,   n) {
      n = 0
      while (match(s, /-?[0-9]+\.[0-9]*(E[-+][0-9]+)?/)) {
        out[++n] = substr(s, RSTART, RLENGTH) + 0
        s = substr(s, RSTART + RLENGTH)
      }
      return n
    }
    function abs(x) { return x < 0 ? -x : x }
    NR == FNR { posix[FNR] = $0; lines = FNR; next }
    {
      seen = FNR
      if (!(FNR in posix)) { print label ": extra record " FNR; bad = 1; next }
      if (skeleton($0) != skeleton(posix[FNR])) {
        print label ": record " FNR " differs in layout:\n  " $0 "\n  " posix[FNR]; bad = 1; next
      }
      n = numbers($0, w); numbers(posix[FNR], p)
      for (i = 1; i <= n; i++) {
        m = abs(w[i]) > abs(p[i]) ? abs(w[i]) : abs(p[i])
        if (m == 0) continue
        e = log(m) / log(10); x = int(e); if (x > e) x--
        tol = 0.5 * 10 ^ (x - 13)
        if (abs(w[i] - p[i]) > tol) {
          printf "%s: record %d item %d: %.17g against %.17g\n", label, FNR, i, w[i], p[i]; bad = 1
        } else if (w[i] != p[i]) {
          last_digits++
        }
      }
    }
    END {
      if (seen < lines) { print label ": records missing after " seen; bad = 1 }
      if (last_digits) print label ": " last_digits " numbers differ after the 14th digit"
      exit bad
    }' "$1" <(tr -d '\r' <"$2") || fail "$3: numbers differ from the POSIX build"
}

# Every line of a file ends with CR LF, the last one included.
crlf_only() {
  local lines crlf
  lines=$(tr -cd '\n' <"$1" | wc -c)
  crlf=$(grep -c $'\r$' "$1" || true)
  [ "$lines" -gt 0 ] && [ "$lines" -eq "$crlf" ] && [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
    fail "$1: not CR LF line ends throughout ($crlf of $lines lines)"
}

# --- A run with a name holding "ç" and blanks, long enough that a
# 50-character command text would have cut it.
name='Lançamento do foguete 2 ensaio'
curva="Curva1_$name" traj="Curva_trajetória_$name" relatorio=$name
run_windows run < <(data_file "'$name'  nome da corrida")
dir=$work/run
[ "$status" -eq 0 ] || fail "run: exit status $status"
[ -s "$work/run.err" ] && fail "run: standard error: $(cat "$work/run.err")"

calls=$(grep -c '^call ' "$work/run.log" || true)
[ "$calls" -eq 4 ] || fail "run: $calls editor calls, expected 4"
i=0
present=(dados.txt)
for file in dados.txt "$curva" "$traj" "$relatorio"; do
  i=$((i + 1))
  [ "$i" -eq 2 ] && present+=("$curva" "$traj")
  [ "$i" -eq 4 ] && present+=("$relatorio")
  block=$(call_block "$work/run.log" "$i")
  [ "$(sed -n 1p <<<"$block")" = "call Notepad \"$file\"" ] ||
    fail "call $i: command line $(sed -n 1p <<<"$block"), expected Notepad \"$file\""
  [ "$(grep '^arg ' <<<"$block")" = "arg $file" ] ||
    fail "call $i: arguments $(grep '^arg ' <<<"$block" | tr '\n' '|'), expected the one $file"
  [ "$(grep '^file ' <<<"$block" | sed 's/^file //' | sort)" = "$(printf '%s\n' "${present[@]}" | sort)" ] ||
    fail "call $i: files present $(grep '^file ' <<<"$block" | sed 's/^file //' | tr '\n' '|')"
done

for file in "$curva" "$traj" "$relatorio"; do
  [ -f "$dir/$file" ] || { fail "no file named $file"; continue; }
  crlf_only "$dir/$file"
done
[ "$(ls -A "$dir" | wc -l)" -eq 4 ] || fail "run: other files left: $(ls -A "$dir" | tr '\n' '|')"

# The POSIX build on the same data, with no editor to be found.
mkdir "$work/posix"
data_file "'$name'" | tr -d '\r' >"$work/posix/dados.txt"
(cd "$work/posix" && PATH=/nonexistent "$posix_arrasto") || fail "POSIX run failed"
same_numbers "$work/posix/$curva" "$dir/$curva" "first curve file"
same_numbers "$work/posix/$traj" "$dir/$traj" "second curve file"
same_numbers "$work/posix/$relatorio" "$dir/$relatorio" "report"

# --- A second run in the same folder replaces all three files (here with
# the same bytes) and leaves no temporary file behind, nor one that a run
# no longer alive left there.
mkdir "$work/first"
cp "$dir/$curva" "$dir/$traj" "$dir/$relatorio" "$work/first/"
echo left over >"$dir/.arrasto-4000000-0.tmp"
run_windows run < <(data_file "'$name'")
[ "$status" -eq 0 ] || fail "second run: exit status $status"
for file in "$curva" "$traj" "$relatorio"; do
  cmp -s "$dir/$file" "$work/first/$file" || fail "second run: $file differs"
done
[ "$(ls -A "$dir" | wc -l)" -eq 4 ] || fail "second run: other files left: $(ls -A "$dir" | tr '\n' '|')"

# --- The same name saved by an older editor in Windows-1252 ("ç" is the
# one byte 0xE7) gives the same file names.
run_windows cp1252 < <(data_file "$(printf "'Lan\xE7amento do foguete 2 ensaio'")")
[ "$status" -eq 0 ] || fail "cp1252: exit status $status"
for file in "$curva" "$traj" "$relatorio"; do
  cmp -s "$work/cp1252/$file" "$dir/$file" || fail "cp1252: no file $file like the UTF-8 run's"
done

# --- Names Windows would not take as a plain file of the working folder:
# one line on standard error, exit status 1, the data shown in the editor
# but nothing written.
refused() {
  local case=$1 line1=$2 expected=$3
  run_windows "$case" < <(data_file "$line1")
  [ "$status" -eq 1 ] || fail "$case: exit status $status, expected 1"
  [ "$(cat "$work/$case.err")" = "$expected" ] ||
    fail "$case: standard error: $(cat "$work/$case.err"), expected: $expected"
  [ "$(grep -c '^call ' "$work/$case.log" || true)" -eq 1 ] || fail "$case: the editor was not run once"
  [ "$(ls -A "$work/$case" | wc -l)" -eq 1 ] || fail "$case: files written: $(ls -A "$work/$case" | tr '\n' '|')"
}
refused device "'nul.txt'" \
  'dados.txt:1: NOME: the run name cannot name a file: the report file "nul.txt" is a device name on Windows'
refused colon "'ensaio:2'" \
  'dados.txt:1: NOME: the run name cannot name a file: the first curve file "Curva1_ensaio:2" holds a '"':'"
refused data "'DADOS.TXT'" \
  'dados.txt:1: NOME: the report file "DADOS.TXT" would overwrite the data file'

# --- Arguments: /? shows the usage, anything else (a file dropped on the
# .exe) is refused; neither runs the editor nor writes a file.
run_windows help '/?' < <(data_file x)
[ "$status" -eq 0 ] && grep -q '^Usage: arrasto' "$work/help.out" ||
  fail "/?: exit status $status, output: $(head -1 "$work/help.out")"
run_windows dropped 'C:\pasta com espaço\Curva1_x' < <(data_file x)
[ "$status" -eq 2 ] || fail "dropped: exit status $status, expected 2"
grep -q '^arrasto: the program takes no arguments' "$work/dropped.err" ||
  fail "dropped: standard error: $(cat "$work/dropped.err")"
for case in help dropped; do
  [ -s "$work/$case.log" ] && fail "$case: the editor was run"
  [ "$(ls -A "$work/$case" | wc -l)" -eq 1 ] || fail "$case: files written: $(ls -A "$work/$case" | tr '\n' '|')"
done

# --- A result file the user made read-only: one line, nothing replaced.
mkdir "$work/readonly"
cp "$work/first/$curva" "$work/first/$traj" "$work/readonly/"
echo older >"$work/readonly/$relatorio"
chmod a-w "$work/readonly/$relatorio"
run_windows readonly < <(data_file "'$name'")
[ "$status" -eq 1 ] || fail "readonly: exit status $status, expected 1"
[ "$(cat "$work/readonly.err")" = "$relatorio: cannot replace: the file is read-only" ] ||
  fail "readonly: standard error: $(cat "$work/readonly.err")"
[ "$(cat "$work/readonly/$relatorio")" = older ] || fail "readonly: the report was replaced"
[ "$(ls -A "$work/readonly" | wc -l)" -eq 4 ] || fail "readonly: files: $(ls -A "$work/readonly" | tr '\n' '|')"

# --- A Notepad.exe in the working folder (come with the data, say) is never
# run: without one beside the program, the system's is. Here the system's is
# wine's, which the override keeps from starting, so no editor runs at all.
mkdir "$work/bare" "$work/planted"
cp "$arrasto_exe" "$work/bare/arrasto.exe"
cp "$standin_exe" "$work/planted/Notepad.exe"
WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-};notepad.exe=n" program=$work/bare/arrasto.exe \
  run_windows planted < <(data_file "'$name'")
[ "$status" -eq 0 ] || fail "planted: exit status $status"
[ -s "$work/planted.log" ] && fail "planted: the Notepad.exe of the working folder was run"
[ -f "$work/planted/$relatorio" ] || fail "planted: no report"

if [ "$failures" -gt 0 ]; then
  echo "end-to-end under wine: $failures failures" >&2
  exit 1
fi
echo "end-to-end under wine: passed"
