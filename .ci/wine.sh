# Sourced by the CI scripts that run Windows programs: a private wine
# prefix, removed with the server when the script ends.
#   start_wine [DIR...]   boot the prefix in the background (alongside a
#                         build); the DIRs are removed at the end too
#   wait_wine             wait for the boot to finish
# Sets $wine, the loader the programs run under.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# Wine maps Windows names to file-name bytes by the locale, so it runs in a
# UTF-8 one. No .NET or HTML engine: the programs need neither, and wine
# then never offers to download them.
export WINEDEBUG=-all LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree=;mshtml="

start_wine() {
  WINEPREFIX=$(mktemp -d)
  wine_boot_log=$(mktemp)
  wine_leftovers=("$WINEPREFIX" "$wine_boot_log" "$@")
  export WINEPREFIX
  trap '"$wineserver" -k >/dev/null 2>&1 || true; rm -rf "${wine_leftovers[@]}"' EXIT
  # The server stays up (-p) for all steps, so each later run starts quickly.
  "$wineserver" -p
  "$wine" wineboot -i >"$wine_boot_log" 2>&1 &
  wine_boot=$!
}

wait_wine() {
  wait "$wine_boot" || { cat "$wine_boot_log" >&2; exit 1; }
}
