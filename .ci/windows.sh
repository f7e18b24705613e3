#!/usr/bin/env bash
# The Windows part of CI: cross-build with MinGW-w64 (the `windows` preset),
# then under wine run the unit tests, the Windows runtime tests and the
# end-to-end runs, whose numbers are checked against the POSIX build's.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix wine64

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# A private prefix; wine maps Windows names to file-name bytes by the
# locale, so it runs in a UTF-8 one.
export WINEDEBUG=-all LC_ALL=C.UTF-8
# No .NET or HTML engine: the programs need neither, and wine then never
# offers to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
WINEPREFIX=$(mktemp -d)
boot_log=$(mktemp)
export WINEPREFIX
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$boot_log"
}
trap cleanup EXIT

# Booting a wine prefix takes a while: start it now, alongside the build.
# The server stays up (-p) for all steps, so each later run starts quickly.
"$wineserver" -p
"$wine" wineboot -i >"$boot_log" 2>&1 &
boot=$!

cmake --preset windows -DARRASTO_WERROR=ON
cmake --build --preset windows -j2
# The POSIX program, for the numbers to compare with (already built when
# the POSIX part of CI ran first).
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2

wait "$boot" || { cat "$boot_log" >&2; exit 1; }

# The toolchain file makes wine the test runner of the cross build.
ctest --preset windows -j2
tests/windows/end_to_end.sh "$wine" "$PWD/build/windows/src/arrasto.exe" \
  "$PWD/build/windows/src/grafico/arrasto-grafico.exe" \
  "$PWD/build/windows/tests/notepad_standin.exe" "$PWD/build/default/src/arrasto"

echo "Windows part of CI: $((SECONDS - start)) s"
