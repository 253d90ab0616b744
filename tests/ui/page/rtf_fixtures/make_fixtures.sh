#!/usr/bin/env bash
# Makes the RTF fixtures from their sources with real writers. Run by hand
# when a source changes; the tests read only the committed .rtf files.
# Needs (Debian): pandoc libreoffice-writer-nogui libreoffice-math-nogui imagemagick
set -euo pipefail
cd "$(dirname "$0")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Pictures of one colour each, so a screenshot can find them.
convert -size 40x30 xc:'#ff00ff' -strip "$scratch/picture.png"
convert -size 16x12 xc:'#ff00ff' -strip "$scratch/small.png"
convert -size 24x16 xc:'#00c0ff' -strip -quality 90 "$scratch/photo.jpg"

cp pandoc.md libreoffice.html libreoffice_layout.fodt "$scratch/"
(cd "$scratch" && pandoc -s -f markdown -t rtf pandoc.md -o pandoc.rtf)
(cd "$scratch" && HOME="$scratch" soffice --headless --infilter="HTML (StarWriter)" \
   --convert-to "rtf:Rich Text Format" libreoffice.html >/dev/null)
(cd "$scratch" && HOME="$scratch" soffice --headless --convert-to "rtf:Rich Text Format" \
   libreoffice_layout.fodt >/dev/null)
cp "$scratch/pandoc.rtf" "$scratch/libreoffice.rtf" "$scratch/libreoffice_layout.rtf" .
