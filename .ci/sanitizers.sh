#!/usr/bin/env bash
# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer
# (the asan preset), then the data file reader's fuzz target for 60 seconds
# from its seed corpus. Any failed test, sanitizer report or fuzzer crash
# fails the script. Installs what a fresh machine lacks.
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/need.sh
need cmake clang-14 libclang-rt-14-dev libgtest-dev

cmake --workflow --preset asan

cmake --preset fuzz
cmake --build --preset fuzz
fuzzer="$PWD/build/fuzz/fuzz/arrasto_fuzz_reader"
dict="$PWD/fuzz/dados.dict"

# The fuzzer runs in a scratch folder (the name checks look at names in the
# working directory) on a copy of the corpus, so that the units it adds stay
# out of the project. An input that fails is kept in build/fuzz/artifacts.
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -R fuzz/corpus "$scratch/corpus"
mkdir "$scratch/run"
status=0
(cd "$scratch/run" &&
  "$fuzzer" -max_total_time=60 -max_len=65536 -timeout=10 -dict="$dict" \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$scratch/corpus") || status=$?
if [ "$status" -ne 0 ]; then
  echo "sanitizers.sh: the fuzz target failed (status $status); input that failed:" >&2
  for artifact in "$artifacts"/crash-* "$artifacts"/timeout-* "$artifacts"/leak-* "$artifacts"/oom-*; do
    [ -e "$artifact" ] || continue
    echo "$artifact:" >&2
    od -A d -c "$artifact" | head -40 >&2
  done
  exit 1
fi
echo "sanitizers.sh: the test suite passed under ASan and UBSan, and 60 s of fuzzing found nothing"
