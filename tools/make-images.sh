#!/bin/bash
# Draws every image of the program's resources into app/images: the state
# images of the title-bar and code buttons, the class-default images of the
# combo box and the vertical scroll bar, the popup menu background and the
# program icon.
#
# Small images are drawn pixel by pixel without antialiasing; glyphs and
# rounded shapes are drawn eight times larger and reduced with a box filter,
# which gives exact area coverage. Output carries no time stamps, so running
# the script again reproduces the committed files byte for byte.
#
# Usage: bash tools/make-images.sh [output-folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-"$root/app/images"}
convert=${CONVERT:-/usr/bin/convert}
mkdir -p "$out"

# Colours of the skin.
blue='#4775CC'        # header, footer, code digits
blue_light='#5A88DD'  # hover of blue surfaces
blue_dark='#3861B3'   # pressed blue surfaces
navy='#2755AA'        # tip text, strong outlines
red='#E04848'         # close button hover
red_dark='#B83232'    # close button pressed

# Writes a 32-bit RGBA PNG without time stamps or other variable chunks.
save_png() {
    local file=$1
    shift
    "$convert" "$@" -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/$file"
}

# The supersampling affine: coordinates in draw commands are given in pixel
# edges of the small image (0 is the left edge of the first pixel).
ss='affine 8,0,0,8,-0.5,-0.5'
reduce=(-filter box -resize 12.5%)

# --- Title-bar buttons (26x18 minimise, 43x18 close) -------------------------
# They sit on the blue header: the normal state is transparent so the header
# shows through; hot lightens, pushed darkens. The close button turns red.

# title_button FILE WIDTH HEIGHT BACKGROUND GLYPH-DRAW
title_button() {
    local file=$1 w=$2 h=$3 bg=$4 glyph=$5
    save_png "$file" \
        -size "${w}x${h}" "xc:$bg" \
        \( -size "$((w * 8))x$((h * 8))" xc:none -fill none -stroke white \
           -draw "$ss $glyph" "${reduce[@]}" \) \
        -compose over -composite
}

min_glyph='stroke-width 2 line 8,9 18,9'
close_glyph='stroke-width 1.6 line 17,4.5 26,13.5 line 26,4.5 17,13.5'

title_button minbtn_normal.png 26 18 none "$min_glyph"
title_button minbtn_hot.png 26 18 '#FFFFFF33' "$min_glyph"
title_button minbtn_pushed.png 26 18 '#00206040' "$min_glyph"
title_button closebtn_normal.png 43 18 none "$close_glyph"
title_button closebtn_hot.png 43 18 "$red" "$close_glyph"
title_button closebtn_pushed.png 43 18 "$red_dark" "$close_glyph"

# --- Code button (75x24, stretched whole to 200x50) --------------------------
# Flat fill with slightly rounded corners and a one-pixel shade along one edge.
# The stretch repeats pixels without smoothing, so the corner radius stays
# small enough that its steps remain soft at two to three times the size.

# code_button FILE FILL SHADE FACE-TOP FACE-BOTTOM: the face covers the shade
# but for one row, the bottom one when raised and the top one when pressed.
code_button() {
    local file=$1 fill=$2 shade=$3 top=$4 bottom=$5
    save_png "$file" \
        -size 600x192 xc:none \
        -fill "$shade" -draw "$ss roundrectangle 0,0 75,24 3.5,3.5" \
        -fill "$fill" -draw "$ss roundrectangle 0,$top 75,$bottom 3.5,3.5" \
        "${reduce[@]}"
}

code_button codebtn_normal.png "$blue" "$blue_dark" 0 23
code_button codebtn_hot.png "$blue_light" "$blue" 0 23
code_button codebtn_pushed.png "$blue_dark" '#2A4E96' 1 24

# --- Combo box default (100x66: normal, hot, pushed rows of 22) --------------
# A white field with a one-pixel frame and the drop-down arrow in the right
# 20 pixels. Columns 2 to 79 are plain field so that both the 20 and the 22
# pixel right corners of the three states stretch only plain field.

# combo_row Y FRAME ARROW-BACKGROUND ARROW-COLOUR
combo_row() {
    local y=$1 frame=$2 abg=$3 arrow=$4
    local b=$((y + 21))
    printf '%s' \
        "fill white stroke none rectangle 0,$y 99,$b " \
        "fill $abg rectangle 80,$((y + 1)) 98,$((b - 1)) " \
        "fill $frame rectangle 0,$y 99,$y rectangle 0,$b 99,$b " \
        "rectangle 0,$y 0,$b rectangle 99,$y 99,$b " \
        "fill $arrow rectangle 86,$((y + 9)) 92,$((y + 9)) " \
        "rectangle 87,$((y + 10)) 91,$((y + 10)) " \
        "rectangle 88,$((y + 11)) 90,$((y + 11)) " \
        "rectangle 89,$((y + 12)) 89,$((y + 12)) "
}

save_png combo.png -size 100x66 xc:none +antialias \
    -draw "$(combo_row 0 '#A8BBE3' '#FFFFFF' "$blue")" \
    -draw "$(combo_row 22 "$blue" '#E6EDFA' "$blue")" \
    -draw "$(combo_row 44 "$navy" '#D2DEF5' "$navy")"

# --- Vertical scroll bar default (48x64) -------------------------------------
# Columns of 16: normal, hot, pushed. Rows of 16: up button, track, down
# button, thumb. The thumb's top and bottom two rows are its fixed ends; the
# rows between are stretched, so they are identical.

track='#EEF2FA'
track_edge='#DDE5F4'

# up_arrow X Y COLOUR / down_arrow X Y COLOUR: a 7x4 arrow head in a 16x16 cell.
up_arrow() {
    local x=$1 y=$2 c=$3
    printf '%s' "fill $c " \
        "rectangle $((x + 7)),$((y + 6)) $((x + 8)),$((y + 6)) " \
        "rectangle $((x + 6)),$((y + 7)) $((x + 9)),$((y + 7)) " \
        "rectangle $((x + 5)),$((y + 8)) $((x + 10)),$((y + 8)) " \
        "rectangle $((x + 4)),$((y + 9)) $((x + 11)),$((y + 9)) "
}
down_arrow() {
    local x=$1 y=$2 c=$3
    printf '%s' "fill $c " \
        "rectangle $((x + 4)),$((y + 6)) $((x + 11)),$((y + 6)) " \
        "rectangle $((x + 5)),$((y + 7)) $((x + 10)),$((y + 7)) " \
        "rectangle $((x + 6)),$((y + 8)) $((x + 9)),$((y + 8)) " \
        "rectangle $((x + 7)),$((y + 9)) $((x + 8)),$((y + 9)) "
}
# cell X Y COLOUR: a button face inset by one pixel with cut corners.
cell() {
    local x=$1 y=$2 c=$3
    printf '%s' "fill $c " \
        "rectangle $((x + 2)),$((y + 1)) $((x + 13)),$((y + 14)) " \
        "rectangle $((x + 1)),$((y + 2)) $((x + 14)),$((y + 13)) "
}
# thumb X Y COLOUR: ten pixels wide with rounded ends in the fixed rows.
thumb() {
    local x=$1 y=$2 c=$3
    printf '%s' "fill $c " \
        "rectangle $((x + 4)),$y $((x + 11)),$y " \
        "rectangle $((x + 3)),$((y + 1)) $((x + 12)),$((y + 14)) " \
        "rectangle $((x + 4)),$((y + 15)) $((x + 11)),$((y + 15)) "
}

scroll_draw="fill $track stroke none rectangle 0,0 47,63 "
for col in 0 16 32; do
    scroll_draw+="fill $track_edge rectangle $col,0 $col,63 "
done
scroll_draw+="$(cell 16 0 '#DCE5F7')$(cell 32 0 "$blue")"
scroll_draw+="$(cell 16 32 '#DCE5F7')$(cell 32 32 "$blue")"
scroll_draw+="$(up_arrow 0 0 '#7F9BD6')$(up_arrow 16 0 "$blue")$(up_arrow 32 0 white)"
scroll_draw+="$(down_arrow 0 32 '#7F9BD6')$(down_arrow 16 32 "$blue")$(down_arrow 32 32 white)"
scroll_draw+="$(thumb 0 48 '#B8C8EA')$(thumb 16 48 '#8EA8DE')$(thumb 32 48 "$blue")"

save_png vscrollbar.png -size 48x64 xc:none +antialias -draw "$scroll_draw"

# --- Popup menu background (40x20, corners 30,8,8,8) --------------------------
# White with a blue frame and a tinted 30-pixel gutter on the left, closed by a
# thin separator. The stretched middle (columns 30 and 31, rows 8 to 11) and
# the top and bottom edges between the corners are plain.

save_png menu_bk.png -size 40x20 xc:white +antialias \
    -draw "fill #EDF2FB stroke none rectangle 1,1 26,18" \
    -draw "fill #D3DEF3 rectangle 27,1 27,18" \
    -draw "fill #6F8FD6 rectangle 0,0 39,0 rectangle 0,19 39,19 rectangle 0,0 0,19 rectangle 39,0 39,19"

# --- Program icon (one 128x128 image) ----------------------------------------
# A blue rounded square with a white wireless sign above a code bar of six
# digit marks. Drawn at 512 pixels and reduced for smooth edges. The wireless
# sign is built as a coverage mask: rings cut to a quarter wedge, with round
# caps at their ends and the dot below.

"$convert" -size 512x512 gradient:"$blue_light-$blue_dark" \
    \( -size 512x512 xc:black -fill white -draw "roundrectangle 16,16 495,495 96,96" \) \
    -alpha off -compose copy-opacity -composite \
    \( -size 512x512 xc:white \
       \( -size 512x512 xc:black \
       -fill white -draw "circle 256,276 256,91" -fill black -draw "circle 256,276 256,121" \
       -fill white -draw "circle 256,276 256,147" -fill black -draw "circle 256,276 256,177" \
       -fill white -draw "circle 256,276 256,203" -fill black -draw "circle 256,276 256,233" \
       \( -size 512x512 xc:black -fill white -draw "polygon 256,276 0,20 512,20" \) \
       -compose multiply -composite \
       -fill white -draw "circle 215.0,235.0 215.0,250.0 circle 297.0,235.0 297.0,250.0 circle 175.4,195.4 175.4,210.4 circle 336.6,195.4 336.6,210.4 circle 135.8,155.8 135.8,170.8 circle 376.2,155.8 376.2,170.8" \
       -draw "circle 256,276 256,300" \
       -draw "roundrectangle 96,338 415,422 28,28" \
       -fill black \
       -draw "roundrectangle 120,368 152,392 6,6" \
       -draw "roundrectangle 168,368 200,392 6,6" \
       -draw "roundrectangle 216,368 248,392 6,6" \
       -draw "roundrectangle 264,368 296,392 6,6" \
       -draw "roundrectangle 312,368 344,392 6,6" \
       -draw "roundrectangle 360,368 392,392 6,6" \
       \) -alpha off -compose copy-opacity -composite \) \
    -compose over -composite \
    -filter box -resize 128x128 -strip "$out/app.ico"
