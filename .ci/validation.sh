#!/usr/bin/env bash
# The model against the measurements of validation/: the comparison tables,
# written again by the program as it now is, must be the committed ones, in
# validation/resultados and in the two validation pages, so that a change
# to the model shows its effect on the comparison in the commit that makes it.
set -euo pipefail
cd "$(dirname "$0")/.."

source .ci/need.sh
need cmake g++

cmake --preset default
cmake --build --preset default --target arrasto arrasto-grafico
fresh=$(mktemp -d)
trap 'rm -rf "$fresh"' EXIT
cp docs/validation.md docs/validacao.md "$fresh/"
sh validation/validacao.sh build/default/src/arrasto build/default/src/grafico/arrasto-grafico \
  "$fresh/resultados" "$fresh"
status=0
for table in tabela.md tabela-pt.md; do
  diff -u "validation/resultados/$table" "$fresh/resultados/$table" || status=1
done
for page in validation.md validacao.md; do
  diff -u "docs/$page" "$fresh/$page" || status=1
done
if [ "$status" -ne 0 ]; then
  echo "validation: the comparison with the measurements has changed; run" \
    "'cmake --build --preset default --target validation' and commit what it writes" >&2
fi
exit "$status"
