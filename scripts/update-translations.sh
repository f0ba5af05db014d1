#!/usr/bin/env bash
# Refreshes the translation catalogues from the sources: new texts appear
# unfinished, texts that are gone are dropped, translations are kept.
set -euo pipefail
cd "$(dirname "$0")/.."
for lang in en sc tc; do
  lupdate -locations none -no-obsolete app widgets device pages -ts "resources/lang/$lang.ts"
done
