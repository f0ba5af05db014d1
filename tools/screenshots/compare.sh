#!/usr/bin/env bash
# Writes every picture of the picture programs into a folder and compares them
# pixel for pixel with the pictures in another (taken the same way before a
# change). Exit status 0 when every picture is the same.
#
#   tools/screenshots/compare.sh <build folder> <reference folder>   compare
#   tools/screenshots/compare.sh <build folder> <folder> --take      only take
set -euo pipefail
build=$1
ref=$2
programs=(mousecfg-screenshots mousecfg-screenshots-buttons mousecfg-lighting-screenshots
          mousecfg-screenshots-dialogs)
cmake --build "$build" -j2 --target "${programs[@]}" >/dev/null
if [ "${3:-}" = "--take" ]; then
  out=$ref
else
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out"
for p in "${programs[@]}"; do
  QT_QPA_PLATFORM=offscreen "$build/bin/$p" "$out" >/dev/null 2>&1 || { echo "$p failed"; exit 1; }
done
[ "${3:-}" = "--take" ] && { echo "$(ls "$out" | wc -l) pictures in $out"; exit 0; }
same=0
different=0
for f in "$ref"/*.png; do
  n=$(basename "$f")
  if [ ! -f "$out/$n" ]; then
    echo "missing: $n"; different=$((different + 1)); continue
  fi
  if cmp -s "$f" "$out/$n"; then
    same=$((same + 1)); continue
  fi
  # The same pixels may be written as other bytes: ImageMagick counts the pixels that differ.
  pixels=$(compare -metric AE "$f" "$out/$n" null: 2>&1 || true)
  if [ "$pixels" = "0" ]; then
    same=$((same + 1))
  else
    echo "different: $n ($pixels pixels)"; different=$((different + 1))
    cp "$out/$n" "${ref%/}-$n.new.png" 2>/dev/null || true
  fi
done
echo "$same pictures the same, $different different"
[ "$different" -eq 0 ]
