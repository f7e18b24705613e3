#!/usr/bin/env bash
# The Debian package: made with its preset, its contents listed and checked,
# unpacked into a scratch root where its arrasto runs the packaged example
# (with the packaged Notepad helper on PATH) and gives the Linux build's
# files, and lintian reports no error.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

# dpkg-shlibdeps (dpkg-dev) and file find the package's dependencies.
source .ci/need.sh
need cmake g++ dpkg-dev file lintian

cmake --workflow --preset package-deb
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-deb/CMakeCache.txt)
deb=$PWD/build/package-deb/arrasto_${version}_amd64.deb
[ -f build/default/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default --target arrasto -j2
linux_arrasto=$PWD/build/default/src/arrasto

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: deb: $*" >&2
  failures=$((failures + 1))
}

dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" | tee "$work/contents"
for path in usr/bin/arrasto usr/bin/arrasto-grafico usr/libexec/arrasto/Notepad \
  usr/share/doc/arrasto/copyright usr/share/doc/arrasto/changelog.gz \
  usr/share/doc/arrasto/README.md usr/share/doc/arrasto/examples/dados.txt \
  "usr/share/arrasto/arrasto-$version.html"; do
  grep -q " \./$path\$" "$work/contents" || fail "no /$path"
done
dpkg-deb --field "$deb" Depends | grep -q 'libc6' || fail "Depends names no libc6"

# The example, run as the README says, in a folder of its own.
root=$work/root
dpkg-deb -x "$deb" "$root"
mkdir "$work/run" "$work/linux"
cp "$root/usr/share/doc/arrasto/examples/dados.txt" "$work/run/"
cp example/dados.txt "$work/linux/"
# The editor, through the packaged helper, records the file it is given.
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$work/editor.log" >"$work/editor"
chmod +x "$work/editor"
(cd "$work/run" && PATH="$root/usr/libexec/arrasto:$PATH" VISUAL=$work/editor "$root/usr/bin/arrasto" &&
  "$root/usr/bin/arrasto-grafico" Curva1_foguete) >"$work/out" 2>&1 || fail "the packaged programs failed"
[ -s "$work/out" ] && fail "the packaged programs printed: $(cat "$work/out")"
[ "$(cat "$work/editor.log" 2>/dev/null)" = "$(printf '%s\n' dados.txt Curva1_foguete Curva_trajetória_foguete foguete)" ] ||
  fail "editor calls through the helper: $(tr '\n' '|' <"$work/editor.log" 2>/dev/null)"
(cd "$work/linux" && PATH=/nonexistent "$linux_arrasto") || fail "the Linux build's run failed"
for file in Curva1_foguete Curva_trajetória_foguete foguete; do
  cmp "$work/run/$file" "$work/linux/$file" || fail "$file differs from the Linux build's"
done
grep -q '</svg>' "$work/run/Curva1_foguete.svg" 2>/dev/null || fail "no picture Curva1_foguete.svg"

lintian --fail-on error "$deb" || fail "lintian reports errors"

if [ "$failures" -gt 0 ]; then
  echo "deb: $failures failures" >&2
  exit 1
fi
echo "deb: passed in $((SECONDS - start)) s"
