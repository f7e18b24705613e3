#!/usr/bin/env bash
# Follows the README on a truly fresh system: a minimal Debian 12 made with
# debootstrap, into which the checkout is copied; there, as root in a chroot,
# the README's prerequisite line and its build-and-test commands run exactly
# as the README writes them (the fenced blocks after its "fresh-debian"
# markers), and must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

source .ci/need.sh
need debootstrap

# A fenced block of the README, named by the marker line before it.
readme_block() {
  awk -v marker="<!-- fresh-debian: $1 -->" '
    $0 == marker { found = 1; next }
    found && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' README.md
}
prerequisites=$(readme_block prerequisites)
build_commands=$(readme_block build)
[ -n "$prerequisites" ] && [ -n "$build_commands" ] || {
  echo "README.md: no fresh-debian prerequisites or build block" >&2
  exit 1
}

# The base system comes from the mirror this machine's apt uses. Its
# packages are kept under build/ for the next run: the debootstrap tarball,
# and the .debs the prerequisite line fetches (apt checks them against the
# fresh package lists before it uses them).
mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '$1 == "URIs:" { print $2; exit }')
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) { print $i; exit } }' \
  /etc/apt/sources.list 2>/dev/null || true)
mirror=${mirror:-http://deb.debian.org/debian}
cache=$PWD/build/fresh-debian
tarball=$cache/bookworm-minbase.tgz
mkdir -p "$cache/debs"

root=$(mktemp -d /tmp/fresh-debian.XXXXXX)
cleanup() {
  if mountpoint -q "$root/proc"; then
    umount "$root/proc" || umount -l "$root/proc"
  fi
  # Removed only once nothing is mounted inside it any more.
  if grep -q " $root/" /proc/mounts; then
    echo "fresh Debian: $root left in place, something is still mounted in it" >&2
  else
    rm -rf --one-file-system "$root"
  fi
}
trap cleanup EXIT
# apt downloads as the user _apt, which must reach into the tree.
chmod 755 "$root"

step=$SECONDS
if [ ! -s "$tarball" ]; then
  scratch=$(mktemp -d)
  debootstrap --variant=minbase --make-tarball="$tarball.part" bookworm "$scratch" "$mirror" >/dev/null
  rm -rf "$scratch"
  mv "$tarball.part" "$tarball"
fi
debootstrap --variant=minbase --unpack-tarball="$tarball" bookworm "$root" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
  { cat "$cache/debootstrap.log" >&2; exit 1; }
mount -t proc proc "$root/proc"
cp /etc/resolv.conf "$root/etc/resolv.conf"
time_debootstrap=$((SECONDS - step))

# The checkout as a fresh clone of it would be: the files git knows, and new
# ones it does not ignore, as they are in the working tree.
mkdir "$root/root/arrasto"
git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$root/root/arrasto"

# Runs a command line in the fresh system's project folder as its root
# would, in a login environment of its own.
in_chroot() {
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root TERM=dumb /bin/sh -c "cd /root/arrasto && $1"
}

# Each command line of a README block in turn; the first that fails fails
# the check. Standard input answers yes to apt's question.
run_block() {
  local line
  while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    echo "fresh Debian: + $line"
    in_chroot "$line" < <(yes) || { echo "fresh Debian: failed: $line" >&2; return 1; }
  done <<<"$1"
}

step=$SECONDS
# A newly installed Debian has its package lists; debootstrap leaves none.
in_chroot "apt-get update -q" >/dev/null
cp "$cache/debs/"*.deb "$root/var/cache/apt/archives/" 2>/dev/null || true
run_block "$prerequisites" >"$cache/prerequisites.log" 2>&1 || { cat "$cache/prerequisites.log" >&2; exit 1; }
cp "$root/var/cache/apt/archives/"*.deb "$cache/debs/" 2>/dev/null || true
time_prerequisites=$((SECONDS - step))

step=$SECONDS
run_block "$build_commands"
time_build=$((SECONDS - step))

echo "fresh Debian: debootstrap ${time_debootstrap} s, prerequisites ${time_prerequisites} s," \
  "build and test ${time_build} s, in all $((SECONDS - start)) s"
