#!/bin/sh
# The model against measurements: runs arrasto on the rockets of this folder
# at the Mach numbers where they were measured, and writes the comparison
# tables (tabela.md in English, tabela-pt.md in Portuguese) and a picture of
# each rocket's measured points on its computed curves. Needs a POSIX shell
# and awk besides the two programs; no network; the same tables every run.
#
#   validation/validacao.sh ARRASTO ARRASTO-GRAFICO OUTPUT-FOLDER [DOCS-FOLDER]
#
# Given DOCS-FOLDER, the tables also replace those of validation.md and
# validacao.md there, between their "validation table" marker lines. The
# build's "validation" target runs it into validation/resultados and docs.
set -eu
LC_ALL=C
export LC_ALL

[ $# -eq 3 ] || [ $# -eq 4 ] || {
  echo "usage: $0 ARRASTO ARRASTO-GRAFICO OUTPUT-FOLDER [DOCS-FOLDER]" >&2
  exit 2
}
here=$(cd "$(dirname "$0")" && pwd)
absolute() { case $1 in /*) printf '%s\n' "$1" ;; *) printf '%s/%s\n' "$PWD" "$1" ;; esac; }
arrasto=$(absolute "$1")
grafico=$(absolute "$2")
mkdir -p "$3"
out=$(cd "$3" && pwd)
docs=
[ $# -eq 3 ] || docs=$(cd "$4" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
# A PATH with no Notepad on it: the runs open no editor.
mkdir "$work/no-editor"

# Writes DATA as DIR/dados.txt with the values of the given lines replaced
# (LINE=VALUE ...; the remarks stay), and runs arrasto there.
run() {
  data=$1 dir=$2
  shift 2
  mkdir -p "$dir"
  awk -v changes="$*" '
    BEGIN { n = split(changes, c, " "); for (i = 1; i <= n; i++) { split(c[i], kv, "="); v[kv[1]] = kv[2] } }
    (FNR in v) { sub(/^[^ ]+/, v[FNR]) }
    { print }' "$data" >"$dir/dados.txt"
  (cd "$dir" && PATH="$work/no-editor" "$arrasto")
}

# The value of record LINE of a report (the last item of the line).
record() { awk -v n="$2" 'NR == n { print $NF }' "$1"; }

# The run name of a data file: its first line's first word, or the text
# between its quotes.
run_name() {
  awk -v q="'" 'NR == 1 { if (index($0, q) == 1) { split($0, part, q); print part[2] } else print $1; exit }' "$1"
}

# The drag of everything but the body's base, from a report: the sum of
# friction, launch lug, pressure and interference times the same factor
# (the single-precision 1.05) that the total takes; NaN or Infinity where a
# term is.
forebody() {
  awk 'NR == 3 { a = $NF } NR == 7 { t = $NF } NR == 9 { p = $NF } NR == 11 { i = $NF }
    END {
      s = a " " t " " p " " i
      if (s ~ /NaN/) print "NaN"
      else if (s ~ /Inf/) print "Infinity"
      else printf "%.17g\n", (((a + t) + p) + i) * 1.0499999523162842
    }' "$1"
}

# The measured points of a file: "MACH VALUE" lines, decimal points.
measured() { awk '/^#/ || !NF || /^[A-Za-z]/ { next } { gsub(/[,;]/, " "); print $1, $2 }' "$1"; }

# ---- Arcas Robin, wind tunnel: the forebody at each measured Mach number --

arcas=$here/arcas-robin
to1=$(awk 'NR == 3 { print $1 }' "$arcas/dados.txt")
name=$(run_name "$arcas/dados.txt")
# The air pressure that gives 9.8e6 per metre at Mach M with the data
# file's temperature: the friction's Reynolds number per millimetre at
# Mach 1 is 8816603 PO TO^-1.26 / 304.8, PO in lbf/ft^2 and TO in Rankine.
pressure() {
  awk -v m="$1" -v t="$to1" 'BEGIN {
    to = (t + 273.15) * 9 / 5
    per_kpa = 8816603 * 20.885434273 * exp(-1.26 * log(to)) / 304.8
    printf "%.9g\n", 9800 / m / per_kpa }'
}
# Computed forebody, fins on then off, at each Mach number M.
forebody_at() {
  po=$(pressure "$1")
  run "$arcas/dados.txt" "$work/arcas-$1-on" 4="$po" 7="$1" 8=1
  run "$arcas/dados.txt" "$work/arcas-$1-off" 4="$po" 7="$1" 8=1 14=0
  echo "$1 $(forebody "$work/arcas-$1-on/$name") $(forebody "$work/arcas-$1-off/$name")"
}
measured "$arcas/medido-com-aletas.txt" >"$work/arcas-on"
measured "$arcas/medido-sem-aletas.txt" >"$work/arcas-off"
while read -r mach value; do
  set -- $(forebody_at "$mach")
  echo "$mach $value $2 $(awk -v m="$mach" '$1 == m { print $2 }' "$work/arcas-off") $3"
done <"$work/arcas-on" >"$work/arcas.txt"

# The computed curves for the picture, a point every Mach 0.05.
mkdir "$work/arcas-curves"
on="$work/arcas-curves/Curva1_Arcas Robin com aletas, sem a base"
off="$work/arcas-curves/Curva1_Arcas Robin sem aletas, sem a base"
echo "  # Mach V(km/h) Cd" >"$on"
echo "  # Mach V(km/h) Cd" >"$off"
for k in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24; do
  mach=$(awk -v k="$k" 'BEGIN { printf "%.2f\n", k * 0.05 }')
  set -- $(forebody_at "$mach")
  speed=$(awk -v m="$mach" 'BEGIN { printf "%.10g\n", m * 1224 }')
  echo " $mach $speed $2" >>"$on"
  echo " $mach $speed $3" >>"$off"
done
"$grafico" -m "$arcas/medido-com-aletas.txt" -m "$arcas/medido-sem-aletas.txt" -o "$out/arcas-robin.svg" "$on" "$off"

# ---- Astron Alpha, flights: the whole rocket below M0 and at M0 ----------

alpha=$here/astron-alpha
# The flights' average speeds, 82 to 112 ft/s, as Mach numbers at the
# speed column's 1224 km/h.
slow=$(awk 'BEGIN { printf "%.4f\n", 82 * 0.3048 * 3.6 / 1224 }')
fast=$(awk 'BEGIN { printf "%.4f\n", 112 * 0.3048 * 3.6 / 1224 }')
for finish in bruto pintado polido; do
  data=$alpha/dados-$finish.txt
  name=$(run_name "$data")
  run "$data" "$work/alpha-$finish"
  m0=$(record "$work/alpha-$finish/$name" 18)
  run "$data" "$work/alpha-$finish-slow" 7="$slow" 8=1
  run "$data" "$work/alpha-$finish-fast" 7="$fast" 8=1
  run "$data" "$work/alpha-$finish-m0" 7="$m0" 8=1
  estimate=$(sed -n 's/.*own estimate was \([0-9.]*[0-9]\).*/\1/p' "$alpha/medido-$finish.txt")
  echo "$finish $(measured "$alpha/medido-$finish.txt" | awk '{ print $2 }') $estimate" \
    "$(record "$work/alpha-$finish-slow/$name" 14) $(record "$work/alpha-$finish-fast/$name" 14)" \
    "$m0 $(record "$work/alpha-$finish-m0/$name" 14)"
done >"$work/alpha.txt"
# Each curve beside its run's report, which gives the picture its M0.
curve() { echo "$work/alpha-$1/Curva1_$(run_name "$alpha/dados-$1.txt")"; }
"$grafico" -m "$alpha/medido-bruto.txt" -m "$alpha/medido-pintado.txt" -m "$alpha/medido-polido.txt" \
  -o "$out/astron-alpha.svg" "$(curve bruto)" "$(curve pintado)" "$(curve polido)"

# ---- The tables, in both languages ----------------------------------------

tables() {
  awk -v language="$1" -v slow="$slow" -v fast="$fast" '
    function number(x, digits,   s) {
      if (x ~ /NaN|Inf/) return x
      s = sprintf("%." digits "f", x)
      return as_given(s)
    }
    function as_given(x) { if (language == "pt") sub(/\./, ",", x); return x }
    function finite(x) { return x !~ /NaN|Inf/ }
    function percent(computed, measured) { return (computed - measured) / measured * 100 }
    function error(computed, measured) {
      return finite(computed) ? as_given(sprintf("%+.1f", percent(computed, measured))) " %" : "—"
    }
    # The signed range of the errors of a group, widened by one more.
    function widen(group, e) {
      if (!(group in lo) || e < lo[group]) lo[group] = e
      if (!(group in hi) || e > hi[group]) hi[group] = e
    }
    function range(group) {
      return as_given(sprintf("%+.0f", lo[group])) " % " (language == "pt" ? "a" : "to") " " \
             as_given(sprintf("%+.0f", hi[group])) " %"
    }
    FILENAME ~ /arcas/ {
      m[++rows] = $1; on[rows] = $2; con[rows] = $3; off[rows] = $4; coff[rows] = $5; next
    }
    { finish[++alphas] = $1; flown[alphas] = $2; estimate[alphas] = $3
      low[alphas] = $4; high[alphas] = $5; m0[alphas] = $6; held[alphas] = $7 }
    END {
      pt = language == "pt"
      print (pt ? "#### Arcas Robin em meia escala, túnel de vento: o arrasto sem a base" \
                : "#### Half-scale Arcas Robin, wind tunnel: the drag without the base")
      print ""
      print (pt ? "| Mach | com aletas: medido | calculado | erro | sem aletas: medido | calculado | erro | parcela das aletas: medida | calculada | erro |" \
                : "| Mach | with fins: measured | computed | error | without fins: measured | computed | error | the fins'\'' share: measured | computed | error |")
      print "|---|---|---|---|---|---|---|---|---|---|"
      for (r = 1; r <= rows; r++) {
        share = sprintf("%.4f", on[r] - off[r])
        cshare = finite(con[r]) && finite(coff[r]) ? con[r] - coff[r] : "NaN"
        print "| " number(m[r], 2) " | " as_given(on[r]) " | " number(con[r], 4) " | " error(con[r], on[r]) \
              " | " as_given(off[r]) " | " number(coff[r], 4) " | " error(coff[r], off[r]) \
              " | " number(share, 4) " | " number(cshare, 4) " | " error(cshare, share) " |"
        if (m[r] <= 0.8 && finite(cshare)) {
          widen("on", percent(con[r], on[r]))
          widen("off", percent(coff[r], off[r]))
          widen("share", percent(cshare, share))
        }
      }
      split(pt ? "sem pintura, aletas retangulares ásperas;lixado e pintado, aletas retangulares;acabamento excelente, aletas aerofólio" \
               : "unpainted, rough rectangular fins;sanded and painted, rectangular fins;excellent finish, airfoiled fins", words, ";")
      print ""
      print (pt ? "#### Astron Alpha, voos: o foguete inteiro" : "#### Astron Alpha, flights: the whole rocket")
      print ""
      print (pt ? "| Acabamento | medido | estimativa do TR-11 | calculado a Mach " number(slow, 3) " | erro | a Mach " number(fast, 3) " | erro | M₀ | calculado em M₀ | erro |" \
                : "| Finish | measured | TR-11'\''s estimate | computed at Mach " number(slow, 3) " | error | at Mach " number(fast, 3) " | error | M₀ | computed at M₀ | error |")
      print "|---|---|---|---|---|---|---|---|---|---|"
      for (a = 1; a <= alphas; a++) {
        print "| " words[a] " | " as_given(flown[a]) " | " as_given(estimate[a]) " | " number(low[a], 3) " | " error(low[a], flown[a]) \
              " | " number(high[a], 3) " | " error(high[a], flown[a]) " | " number(m0[a], 3) " | " number(held[a], 3) " | " error(held[a], flown[a]) " |"
        widen("below", percent(low[a], flown[a]))
        widen("below", percent(high[a], flown[a]))
        widen("held", percent(held[a], flown[a]))
      }
      print ""
      if (pt) {
        print "- Acima de M₀ e abaixo de Mach 0,8 (o Arcas Robin a Mach 0,6 e 0,8), sem a base: com aletas " range("on") \
              ", sem aletas " range("off") ", a parcela das aletas " range("share") "."
        print "- Abaixo de M₀ (os voos do Alpha): a curva, " range("below") "; o valor em M₀, mantido abaixo dele, " range("held") "."
      } else {
        print "- Above M₀ and below Mach 0.8 (the Arcas Robin at Mach 0.6 and 0.8), without the base: with fins " range("on") \
              ", without fins " range("off") ", the fins'\'' share " range("share") "."
        print "- Below M₀ (the Alpha'\''s flights): the curve " range("below") "; the value at M₀, held below it, " range("held") "."
      }
    }' "$work/arcas.txt" "$work/alpha.txt"
}
tables en >"$out/tabela.md"
tables pt >"$out/tabela-pt.md"

# The tables into the pages, between their marker lines.
splice() {
  awk -v table="$1" '
    /^<!-- validation table -->$/ { print; while ((getline line < table) > 0) print line; skip = 1; next }
    /^<!-- end of validation table -->$/ { skip = 0 }
    !skip { print }' "$2" >"$work/page"
  grep -q '^<!-- end of validation table -->$' "$work/page" || { echo "$2: no validation table markers" >&2; exit 1; }
  cat "$work/page" >"$2"
}
if [ -n "$docs" ]; then
  splice "$out/tabela.md" "$docs/validation.md"
  splice "$out/tabela-pt.md" "$docs/validacao.md"
fi
