#!/usr/bin/env bash
# The Windows zip as a student meets it: made with its preset and unzipped
# into a fresh folder whose path holds a blank and an accented letter.
# Checks what the zip holds, then runs the Windows end-to-end checks
# (tests/windows/end_to_end.sh) on its two programs under wine: the editor
# calls, the result files and their numbers against the Linux build's, the
# picture, the refusals and the arguments.
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
[ "$(ls -A "$app" | sort | tr '\n' ' ')" = "LEIAME.txt LICENSE.txt arrasto-grafico.exe arrasto.exe dados.txt " ] ||
  fail "the folder holds: $(ls -A "$app" | tr '\n' '|')"
crlf_only "$app/LEIAME.txt"
[ "$(head -c 3 "$app/LEIAME.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "LEIAME.txt has no UTF-8 byte-order mark"
# The data file is the example, in CR LF.
crlf_only "$app/dados.txt"
diff <(tr -d '\r' <"$app/dados.txt") example/dados.txt >&2 || fail "dados.txt is not the example"
tests/windows/end_to_end.sh "$wine" "$app/arrasto.exe" "$app/arrasto-grafico.exe" \
  "$PWD/build/windows/tests/notepad_standin.exe" "$PWD/build/default/src/arrasto" ||
  fail "the end-to-end checks failed on the zip's programs"

if [ "$failures" -gt 0 ]; then
  echo "zip: $failures failures" >&2
  exit 1
fi
echo "zip: passed in $((SECONDS - start)) s"
