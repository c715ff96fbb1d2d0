#!/usr/bin/env bash
# Draws the program's own cursor images and window icons into
# resources/data (PNG, 32 bits per pixel) and writes cursors/cursors.xml
# with each cursor's hot spot. The PNGs are committed; run this again
# (needs ImageMagick's convert) after changing a drawing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cursors="$root/resources/data/cursors"
images="$root/resources/data/images"
mkdir -p "$cursors" "$images"

# White shapes with a black outline read on light and dark backgrounds.
outline=(-stroke black -strokewidth 1.5 -fill white)

# draw <file> <size> <primitives...>: one transparent square image.
draw() {
    local file=$1 size=$2
    shift 2
    convert -size "${size}x${size}" xc:none "$@" -define png:color-type=6 "PNG32:$file"
}

xml_entries=""
# cursor <name> <hotspotX> <hotspotY> <primitives...>
cursor() {
    local name=$1 x=$2 y=$3
    shift 3
    draw "$cursors/$name.png" 32 "$@"
    xml_entries+="    <cursor name=\"$name\" hotspotX=\"$x\" hotspotY=\"$y\"/>"$'\n'
}

palm="roundrectangle 8,13 24,28 4,4"
fingers="roundrectangle 8,6 12,16 2,2 roundrectangle 12,4 16,16 2,2 roundrectangle 16,5 20,16 2,2 roundrectangle 20,7 24,17 2,2"
thumb="polygon 8,20 3,14 5,12 9,15"
fist="roundrectangle 7,11 25,27 5,5"
knuckles="line 12,11 12,16 line 16,11 16,16 line 20,11 20,16"

cursor hand 16 16 "${outline[@]}" -draw "$fingers $thumb $palm"
cursor hand_open 16 16 "${outline[@]}" \
    -draw "polygon 8,18 1,12 3,10 10,15 roundrectangle 6,4 10,16 2,2 roundrectangle 11,1 15,16 2,2 roundrectangle 16,2 20,16 2,2 roundrectangle 21,5 25,17 2,2 $palm"
cursor hand_close 16 16 "${outline[@]}" -draw "$fist" -fill none -draw "$knuckles"
cursor hand_finger 12 1 "${outline[@]}" \
    -draw "roundrectangle 10,1 14,18 2,2 roundrectangle 14,10 24,18 2,2 $thumb $palm"

lens="circle 12,12 12,3"
handle="polygon 18,19 20,17 29,26 27,28"
cursor lens 12 12 "${outline[@]}" -draw "$handle $lens"
cursor lens_plus 12 12 "${outline[@]}" -draw "$handle $lens" -stroke black -strokewidth 2 \
    -draw "line 8,12 16,12 line 12,8 12,16"
cursor lens_minus 12 12 "${outline[@]}" -draw "$handle $lens" -stroke black -strokewidth 2 \
    -draw "line 8,12 16,12"

# The split cursors: a double bar with arrows away from it.
up="polygon 16,1 23,9 19,9 19,12 13,12 13,9 9,9"
down="polygon 16,31 23,23 19,23 19,20 13,20 13,23 9,23"
left="polygon 1,16 9,9 9,13 12,13 12,19 9,19 9,23"
right="polygon 31,16 23,9 23,13 20,13 20,19 23,19 23,23"
hbars="rectangle 3,13 29,14 rectangle 3,17 29,18"
vbars="rectangle 13,3 14,29 rectangle 17,3 18,29"
cursor split_top_bottom 16 16 "${outline[@]}" -draw "$up $down $hbars"
cursor split_left_right 16 16 "${outline[@]}" -draw "$left $right $vbars"
cursor split_left 16 16 "${outline[@]}" -draw "$left $vbars"
cursor split_right 16 16 "${outline[@]}" -draw "$right $vbars"
cursor split_top 16 16 "${outline[@]}" -draw "$up $hbars"
cursor split_bottom 16 16 "${outline[@]}" -draw "$down $hbars"

cursor pipette 1 30 "${outline[@]}" \
    -draw "polygon 1,30 3,24 17,10 21,14 7,28 roundrectangle 18,4 28,14 3,3"
cursor target 16 16 -stroke black -strokewidth 3 -fill none \
    -draw "circle 16,16 16,6 line 16,1 16,11 line 16,21 16,31 line 1,16 11,16 line 21,16 31,16" \
    -stroke white -strokewidth 1 \
    -draw "circle 16,16 16,6 line 16,1 16,11 line 16,21 16,31 line 1,16 11,16 line 21,16 31,16"
cursor empty 0 0

{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<data>'
    echo '  <cursors>'
    printf '%s' "$xml_entries"
    echo '  </cursors>'
    echo '</data>'
} >"$cursors/cursors.xml"

# The window icons: a price tag with its hole, drawn at each size.
tag() {
    local size=$1 s
    s=$(awk "BEGIN { print $size / 32 }")
    draw "$images/$2" "$size" -stroke '#1d3f73' -strokewidth "$(awk "BEGIN { print 2 * $s }")" -fill '#f2a93b' \
        -draw "scale $s,$s polygon 2,16 12,4 29,4 29,28 12,28" \
        -fill white -draw "scale $s,$s circle 11,16 11,12"
}
tag 16 window_icon_small.png
tag 32 window_icon_big.png
