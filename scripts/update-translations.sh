#!/usr/bin/env bash
# Refreshes the translation catalogues from the sources: new texts appear
# unfinished, texts that are gone are dropped, translations are kept. The
# window's texts live in resources/lang/<lang>.ts, each page area's in
# resources/lang/<area>/<lang>.ts; the build joins them into one catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
for lang in en sc tc; do
  lupdate -locations none -no-obsolete app widgets device -ts "resources/lang/$lang.ts"
  for dir in pages/*/; do
    area="$(basename "$dir")"
    mkdir -p "resources/lang/$area"
    lupdate -locations none -no-obsolete "$dir" -ts "resources/lang/$area/$lang.ts"
  done
done
