#!/bin/sh
# Rebuilds the artwork generator and redraws everything it makes into resources/.
# Usage: tools/generate-artwork.sh [PREVIEW_DIR]
# With PREVIEW_DIR, also writes enlarged previews there (the skin, the whole window with sample
# display text, the cursors and small images) for a look before committing.
# Needs: cmake, ninja, Qt 6 Gui development files, the DejaVu fonts (fonts-dejavu-core and
# fonts-dejavu-extra), whose outlines give the printed labels.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${R512_ARTGEN_BUILD:-${TMPDIR:-/tmp}/r512-artgen-build}

cmake -S "$root/tools/artgen" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target r512-artgen -j2
if [ $# -ge 1 ]; then
    "$build/r512-artgen" "$root/resources" --preview "$1"
else
    "$build/r512-artgen" "$root/resources"
fi
echo "artwork written to $root/resources"
