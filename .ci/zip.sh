#!/usr/bin/env bash
# The Windows zip as a student meets it: made with its preset, unzipped into
# a fresh folder whose path holds a blank and an accented letter, and run
# there under wine with a stand-in Notepad.exe beside arrasto.exe (it records
# each call: tests/windows/notepad_standin.cpp). Checks what the zip holds,
# the editor calls, the result files and their numbers against the Linux
# build's, the picture, --version, and that a stray argument runs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix wine64

# A private wine prefix, booted alongside the build (as in .ci/windows.sh).
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEDEBUG=-all LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree=;mshtml="
WINEPREFIX=$(mktemp -d)
work=$(mktemp -d)
export WINEPREFIX
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
"$wineserver" -p
"$wine" wineboot -i >"$work/boot.log" 2>&1 &
boot=$!

cmake --workflow --preset package-windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-windows/CMakeCache.txt)
zip=$PWD/build/package-windows/arrasto-$version-win64.zip
# The stand-in editor, and the Linux program for the numbers (both already
# built when the rest of CI ran first).
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows
cmake --build --preset windows --target notepad_standin -j2
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2
wait "$boot" || { cat "$work/boot.log" >&2; exit 1; }

failures=0
fail() {
  echo "FAIL: zip: $*" >&2
  failures=$((failures + 1))
}
# Every line ends with CR LF, the last one included.
crlf_only() {
  local lines crlf
  lines=$(tr -cd '\n' <"$1" | wc -c)
  crlf=$(grep -c $'\r$' "$1" || true)
  [ "$lines" -gt 0 ] && [ "$lines" -eq "$crlf" ] && [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
    fail "$(basename "$1"): not CR LF line ends throughout ($crlf of $lines lines)"
}

parent="$work/Pasta do aluno ç"
mkdir "$parent"
(cd "$parent" && cmake -E tar xf "$zip")
app=$parent/arrasto-$version-win64
[ "$(ls -A "$parent")" = "arrasto-$version-win64" ] || fail "not one top folder: $(ls -A "$parent" | tr '\n' '|')"
[ "$(ls -A "$app" | sort | tr '\n' ' ')" = "LEIAME.txt LICENSE.txt arrasto-grafico.exe arrasto.exe dados.txt " ] ||
  fail "the folder holds: $(ls -A "$app" | tr '\n' '|')"
crlf_only "$app/dados.txt"
crlf_only "$app/LEIAME.txt"
[ "$(head -c 3 "$app/LEIAME.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "LEIAME.txt has no UTF-8 byte-order mark"
cp build/windows/tests/windows/notepad_standin.exe "$app/Notepad.exe"

# Runs arrasto.exe (or $exe) as Explorer would, in its own folder, with the
# arguments given; leaves the exit status in $status and the outputs, CR
# LF made LF, in $work/out and $work/err.
exe=arrasto.exe
run() {
  status=0
  (cd "$app" && "$wine" "$app/$exe" "$@" </dev/null >"$work/out.raw" 2>"$work/err.raw") || status=$?
  tr -d '\r' <"$work/out.raw" >"$work/out"
  tr -d '\r' <"$work/err.raw" >"$work/err"
}
listing() { ls -A "$app" "$parent"; }

# A stray argument: one line on standard error, exit status 2, no editor,
# nothing written. --version: the version on standard output, nothing else.
before=$(listing)
run extra
[ "$status" -eq 2 ] || fail "arrasto.exe extra: exit status $status, expected 2"
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q dados.txt "$work/err" ||
  fail "arrasto.exe extra: standard error, not one line naming dados.txt: $(cat "$work/err")"
[ -s "$work/out" ] && fail "arrasto.exe extra: standard output: $(cat "$work/out")"
[ "$(listing)" = "$before" ] || fail "arrasto.exe extra: files written or the editor run"
run --version
[ "$status" -eq 0 ] || fail "arrasto.exe --version: exit status $status"
[ "$(cat "$work/out")" = "arrasto $version" ] || fail "arrasto.exe --version printed: $(cat "$work/out")"
[ -s "$work/err" ] && fail "arrasto.exe --version: standard error: $(cat "$work/err")"
[ "$(listing)" = "$before" ] || fail "arrasto.exe --version: files written or the editor run"

# The run on the data file as it comes: the data, then each result file,
# in the editor; the files in CR LF with the Linux build's numbers.
rm -f "$parent/notepad.log"
run
[ "$status" -eq 0 ] || fail "arrasto.exe: exit status $status"
[ -s "$work/out" ] || [ -s "$work/err" ] && fail "arrasto.exe printed: $(cat "$work/out" "$work/err")"
results=(Curva1_foguete Curva_trajetória_foguete foguete)
expected=$(printf 'call Notepad "%s"\n' dados.txt "${results[@]}")
[ "$(grep '^call ' "$parent/notepad.log" 2>/dev/null)" = "$expected" ] ||
  fail "editor calls: $(grep '^call ' "$parent/notepad.log" 2>/dev/null | tr '\n' '|'), expected 4: $(tr '\n' '|' <<<"$expected")"
mkdir "$work/linux"
cp example/dados.txt "$work/linux/"
linux_arrasto=$PWD/build/default/src/arrasto
(cd "$work/linux" && PATH=/nonexistent "$linux_arrasto") || fail "the Linux run failed"
for file in "${results[@]}"; do
  [ -f "$app/$file" ] || { fail "no file $file"; continue; }
  crlf_only "$app/$file"
  diff <(tr -d '\r' <"$app/$file") "$work/linux/$file" >&2 || fail "$file differs from the Linux build's"
done

# Curva1_foguete dropped on arrasto-grafico.exe: its full Windows path as
# the one argument.
exe=arrasto-grafico.exe
run "Z:$(tr / '\\' <<<"$app/Curva1_foguete")"
[ "$status" -eq 0 ] || fail "arrasto-grafico.exe: exit status $status: $(cat "$work/err")"
grep -q '</svg>' "$app/Curva1_foguete.svg" 2>/dev/null || fail "arrasto-grafico.exe: no picture Curva1_foguete.svg"

if [ "$failures" -gt 0 ]; then
  echo "zip: $failures failures" >&2
  exit 1
fi
echo "zip: passed in $((SECONDS - start)) s"
