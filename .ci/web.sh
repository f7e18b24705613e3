#!/usr/bin/env bash
# The page: both programs built to WebAssembly with Debian's emscripten and
# put into one HTML file (at most 1 MB), the module's tests under node, the
# page's numbers against arrasto linked with musl's math functions (and the
# count of values that differ from the ordinary Linux build), musl's math
# functions in emscripten and in Debian's musl-dev compared, and the page
# itself in Debian's chromium, headless, opened from the disk.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need cmake g++ emscripten musl-tools
# node and npm may come from elsewhere than Debian; install them only if missing.
command -v node >/dev/null || need nodejs
command -v npm >/dev/null || need npm
[ -x /usr/bin/chromium ] || need chromium

cmake --workflow --preset musl-math
cmake --workflow --preset web
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/web/CMakeCache.txt)
page=$PWD/build/web/arrasto-$version.html
size=$(stat -c %s "$page")
echo "web: $page is $size bytes"
[ "$size" -le 1048576 ] || { echo "FAIL: web: the page is over 1 MB" >&2; exit 1; }

# The two musl versions' math functions give the same bits.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
musl-gcc -O2 -ffp-contract=off -static web/tests/math_functions.c -o "$work/math" -lm
"$work/math" >"$work/math.musl"
NODE_PATH=/usr/share/nodejs emcc -O2 -ffp-contract=off -sSINGLE_FILE=1 web/tests/math_functions.c -o "$work/math.js"
node "$work/math.js" >"$work/math.wasm"
diff "$work/math.musl" "$work/math.wasm" || { echo "FAIL: web: musl's math differs from emscripten's" >&2; exit 1; }

[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2
(cd web && npm ci --no-audit --no-fund)
ARRASTO_MUSL_ARRASTO=$PWD/build/musl-math/src/arrasto ARRASTO_LINUX_ARRASTO=$PWD/build/default/src/arrasto \
  ARRASTO_PAGE=$page node --test web/tests/same_numbers.test.mjs web/tests/page.test.mjs
echo "web: passed in $((SECONDS - start)) s"
