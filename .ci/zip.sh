#!/usr/bin/env bash
# The Windows zip as a student meets it: made with its preset and unzipped
# into a fresh folder whose path holds a blank and an accented letter.
# Checks what the zip holds, then runs the Windows end-to-end checks
# (tests/windows/end_to_end.sh) on its two programs under wine: the editor
# calls, the result files and their numbers against the Linux build's, the
# picture, the refusals and the arguments. Last, the zip's own example is
# run where it lies, as a double-click runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix wine64 tmux

# A private wine prefix, booted alongside the build.
source .ci/wine.sh
work=$(mktemp -d)
start_wine "$work"

cmake --workflow --preset package-windows
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-windows/CMakeCache.txt)
zip=$PWD/build/package-windows/arrasto-$version-win64.zip
# The stand-in editor, and the Linux program for the numbers (both already
# built when the rest of CI ran first).
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows
cmake --build --preset windows --target notepad_standin -j2
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2
linux_arrasto=$PWD/build/default/src/arrasto
wait_wine

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
[ "$(ls -A "$app" | sort | tr '\n' ' ')" = "LEIAME.txt LICENSE.txt arrasto-$version.html arrasto-grafico.exe arrasto.exe dados.txt dimensoes.svg " ] ||
  fail "the folder holds: $(ls -A "$app" | tr '\n' '|')"
# The two texts with accents open right in any Notepad: CR LF and a UTF-8
# byte-order mark. The data file is the example.
for text in LEIAME.txt dados.txt; do
  crlf_only "$app/$text"
  [ "$(head -c 3 "$app/$text" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$text has no UTF-8 byte-order mark"
done
diff <(tail -c +4 "$app/dados.txt" | tr -d '\r') example/dados.txt >&2 || fail "dados.txt is not the example"
cmp "$app/dimensoes.svg" docs/dimensoes.svg || fail "dimensoes.svg is not the drawing of the guides"
grep -q dimensoes.svg "$app/LEIAME.txt" || fail "LEIAME.txt does not name the drawing"
tests/windows/end_to_end.sh "$wine" "$app/arrasto.exe" "$app/arrasto-grafico.exe" \
  "$PWD/build/windows/tests/notepad_standin.exe" "$linux_arrasto" ||
  fail "the end-to-end checks failed on the zip's programs"

# The zip's dados.txt, byte-order mark and accented remarks as shipped, run
# in the zip's folder beside a stand-in Notepad.exe, gives the Linux build's
# numbers on the example.
cp "$PWD/build/windows/tests/notepad_standin.exe" "$app/Notepad.exe"
(cd "$app" && "$wine" "$app/arrasto.exe" </dev/null >"$work/out" 2>&1) || fail "the zip's example run failed: $(cat "$work/out")"
[ -s "$work/out" ] && fail "the zip's example run printed: $(cat "$work/out")"
[ "$(tr -d '\r' <"$parent/notepad.log")" = "$(printf 'Notepad "%s"\n' dados.txt Curva1_foguete Curva_trajetória_foguete foguete)" ] ||
  fail "the zip's example run: editor command lines: $(tr '\r\n' ' |' <"$parent/notepad.log")"
mkdir "$work/linux"
cp example/dados.txt "$work/linux/"
(cd "$work/linux" && PATH=/nonexistent "$linux_arrasto") || fail "the Linux build's run failed"
for file in Curva1_foguete Curva_trajetória_foguete foguete; do
  diff <(tr -d '\r' <"$app/$file") "$work/linux/$file" >&2 || fail "the zip's $file differs from the Linux build's"
done

if [ "$failures" -gt 0 ]; then
  echo "zip: $failures failures" >&2
  exit 1
fi
echo "zip: passed in $((SECONDS - start)) s"
