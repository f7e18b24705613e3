#!/usr/bin/env bash
# The benchmarks are built, not run (they measure speed, which a CI machine
# shared with others cannot give): a change to the program's routines or
# runtime that the benchmark's copy of the sweep no longer matches fails
# here rather than on the next person who measures.
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/need.sh
need cmake g++ libbenchmark-dev

cmake --preset bench
cmake --build --preset bench
