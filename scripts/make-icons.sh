#!/usr/bin/env bash
# Makes the Windows icon resources (resources/icons/*.ico) from the drawings
# the Linux bar uses (resources/icons/icon-<id>-<name>.svg): each icon gets a
# 32 by 32 and a 16 by 16 image. An icon whose drawing is missing gets a
# plain placeholder, so the resource script always compiles. Also renders
# the application icon at the sizes desktop menus ask the icon theme for
# (packaging/icons/kestro-<size>.png, installed into hicolor).
# Needs rsvg-convert (librsvg2-bin) and convert (imagemagick).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"

for tool in rsvg-convert convert; do
  command -v "$tool" >/dev/null || { echo "make-icons: $tool is missing (apt-get install librsvg2-bin imagemagick)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# id:name, as the resource script names the files.
icons="128:app 131:tex 133:edit 135:pdf 136:prompt 138:oneclick 139:settings"
placeholder_colours="128:#1565c0 131:#2e7d32 133:#6d4c41 135:#c62828 136:#263238 138:#ef6c00 139:#546e7a"

for entry in $icons; do
  id=${entry%%:*}
  name=${entry#*:}
  svg="icon-$id-$name.svg"
  ico="icon-$id-$name.ico"
  if [ -f "$svg" ]; then
    for size in 32 16; do
      rsvg-convert -w "$size" -h "$size" -o "$work/$id-$size.png" "$svg"
    done
  else
    colour=$(tr ' ' '\n' <<<"$placeholder_colours" | sed -n "s/^$id://p")
    for size in 32 16; do
      convert -size "${size}x${size}" xc:none -fill "$colour" \
        -draw "roundrectangle 1,1 $((size - 2)),$((size - 2)) 3,3" "PNG32:$work/$id-$size.png"
    done
    echo "make-icons: $svg missing, placeholder written" >&2
  fi
  # Small images are stored as 32-bit bitmaps with alpha, which every
  # Windows version since XP reads.
  convert "$work/$id-32.png" "$work/$id-16.png" "$ico"
done
echo "make-icons: $(ls ./*.ico | wc -l) icons in resources/icons"

mkdir -p ../../packaging/icons
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "../../packaging/icons/kestro-$size.png" icon-128-app.svg
done
echo "make-icons: menu sizes of the application icon in packaging/icons"
