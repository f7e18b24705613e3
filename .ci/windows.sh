#!/usr/bin/env bash
# The Windows part of CI: cross-build with MinGW-w64 (the `windows` preset),
# then under wine run the unit tests, the Windows runtime tests and the
# end-to-end runs, whose numbers are checked against the POSIX build's.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need cmake g++ libgtest-dev g++-mingw-w64-x86-64-posix wine64 tmux

source .ci/wine.sh
# Booting a wine prefix takes a while: start it now, alongside the build.
start_wine

cmake --preset windows -DARRASTO_WERROR=ON
cmake --build --preset windows -j2
# The POSIX program, for the numbers to compare with (already built when
# the POSIX part of CI ran first).
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2

wait_wine

# The toolchain file makes wine the test runner of the cross build. Wine
# now and then fails to start a process on a freshly booted prefix (the
# test ends at once with no output at all), so the failed tests run once
# more, alone: a fault of the program fails again and fails the step.
if ! ctest --preset windows -j2; then
  echo "CI: running the failed Windows tests once more, one at a time" >&2
  ctest --preset windows --rerun-failed
fi
tests/windows/end_to_end.sh "$wine" "$PWD/build/windows/src/arrasto.exe" \
  "$PWD/build/windows/src/grafico/arrasto-grafico.exe" \
  "$PWD/build/windows/tests/notepad_standin.exe" "$PWD/build/default/src/arrasto"

echo "Windows part of CI: $((SECONDS - start)) s"
