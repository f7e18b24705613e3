#!/usr/bin/env bash
# Runs killed at random moments over an older set (tools/kill_loop): each
# folder must hold one run's three result files, the older or the newer,
# and the next run must leave nothing hidden. 120 kills, about a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2
KILLS=${KILLS:-120} tools/kill_loop build/default/src/arrasto
