#!/usr/bin/env bash
# The Debian package: made with its preset, its contents listed and checked
# (the manual pages, the guides and every file they link to, both
# examples), its file times those of the last commit and made again the
# same to the byte, unpacked into a scratch root where its arrasto runs the
# packaged examples (with the packaged Notepad helper on PATH) and gives the
# Linux build's files, and lintian reports no error and no warning.
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
doc=usr/share/doc/arrasto
for path in usr/bin/arrasto usr/bin/arrasto-grafico usr/libexec/arrasto/Notepad \
  $doc/copyright $doc/changelog.gz $doc/README.md $doc/LEIAME.md $doc/docs/model.md \
  $doc/docs/modelo.md $doc/docs/dimensoes.svg $doc/examples/dados.txt $doc/examples/dados-aletas.txt \
  usr/share/man/man1/arrasto.1.gz usr/share/man/man1/arrasto-grafico.1.gz \
  usr/share/man/pt_BR/man1/arrasto.1.gz usr/share/man/pt_BR/man1/arrasto-grafico.1.gz \
  "usr/share/arrasto/arrasto-$version.html"; do
  grep -q " \./$path\$" "$work/contents" || fail "no /$path"
done
dpkg-deb --field "$deb" Depends | grep -q 'libc6' || fail "Depends names no libc6"

root=$work/root
dpkg-deb -x "$deb" "$root"
# Each manual page names this version (none left with a placeholder).
for page in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/man/pt_BR/man1/*.gz; do
  zcat "$page" | grep -q "^\.TH .* \"arrasto $version\"" || fail "${page#"$root"}: no \"arrasto $version\" in its title line"
done
# Every link of an installed guide to a file of its own opens an installed file.
for guide in $(cd "$root" && find "$doc" -name '*.md'); do
  while IFS= read -r target; do
    case $target in '' | *:*) continue ;; esac
    [ -e "$root/$(dirname "$guide")/$target" ] || fail "/$guide links to $target, which is not installed"
  done < <(grep -o '\]([^)]*)' "$root/$guide" | sed -e 's/^](//' -e 's/)$//' -e 's/#.*//')
done
# Every time in the package is the last commit's, as reproducible builds set
# them, and cpack run again later makes the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && commit_time=$(git log -1 --format=%ct 2>/dev/null); then
  times=$( (find "$root" -mindepth 1 -printf '%Ts\n'
    dpkg-deb --ctrl-tarfile "$deb" | tar -tv --full-time | awk '{ print $4 " " $5 }' |
      while read -r stamp; do date -u -d "$stamp" +%s; done) | sort -u | tr '\n' ' ')
  [ "$times" = "$commit_time " ] || fail "file times $times; the last commit's is $commit_time"
fi
sleep 1
cp "$deb" "$work/first.deb"
(cd build/package-deb && cpack -G DEB >/dev/null)
cmp -s "$deb" "$work/first.deb" || fail "the package made again a second later differs"

# The examples, run as the README says, in a folder of their own.
mkdir "$work/run" "$work/linux"
cp "$root/$doc/examples/dados.txt" "$work/run/"
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
# The square-edged fins beside it, under their own run name.
cp "$root/$doc/examples/dados-aletas.txt" "$work/run/dados.txt"
cp example/dados-aletas.txt "$work/linux/dados.txt"
(cd "$work/run" && PATH=/nonexistent "$root/usr/bin/arrasto") || fail "the packaged dados-aletas.txt run failed"
(cd "$work/linux" && PATH=/nonexistent "$linux_arrasto") || fail "the Linux build's dados-aletas.txt run failed"
for name in foguete foguete_bordos_retos; do
  for file in "Curva1_$name" "Curva_trajetória_$name" "$name"; do
    cmp "$work/run/$file" "$work/linux/$file" || fail "$file differs from the Linux build's"
  done
done
grep -q '</svg>' "$work/run/Curva1_foguete.svg" 2>/dev/null || fail "no picture Curva1_foguete.svg"

lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"

if [ "$failures" -gt 0 ]; then
  echo "deb: $failures failures" >&2
  exit 1
fi
echo "deb: passed in $((SECONDS - start)) s"
