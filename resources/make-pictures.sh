#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick. The pictures are kept in the
# repository; run this only to redraw them.
set -euo pipefail
cd "$(dirname "$0")/images"
SANS=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
SANSB=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
SERIFB=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf

# Tiled background of the main window's client area: a soft blue-grey tile with
# a faint diamond lattice, seamless at its edges (24-bit bitmap).
convert -size 64x64 xc:'#DCE4EC' \
  -stroke '#CCD7E2' -strokewidth 1 -fill none \
  -draw "line 0,32 32,0" -draw "line 32,0 63,31" -draw "line 63,32 32,63" -draw "line 32,63 0,32" \
  -fill '#D3DDE7' -stroke none -draw "circle 32,32 32,29" \
  -draw "point 0,0" -draw "point 63,0" -draw "point 0,63" -draw "point 63,63" \
  BMP3:background.bmp

# The emblem drawn on the corner, splash and about pictures: a ledger page
# with a column of figures and a coin.
emblem() { # out width height bg
  local out=$1 w=$2 h=$3 bg=$4
  local s=$(( h < w ? h : w ))
  local px=$(( w/2 - s*35/100 )) py=$(( h/2 - s*38/100 ))
  local pw=$(( s*55/100 )) ph=$(( s*70/100 ))
  convert -size ${w}x${h} "$bg" \
    -fill white -stroke '#3A5A7A' -strokewidth 2 \
    -draw "roundrectangle $px,$py $((px+pw)),$((py+ph)) 6,6" \
    -stroke '#9DB3C8' -strokewidth 1 \
    -draw "line $((px+8)),$((py+ph*20/100)) $((px+pw-8)),$((py+ph*20/100))" \
    -draw "line $((px+8)),$((py+ph*35/100)) $((px+pw-8)),$((py+ph*35/100))" \
    -draw "line $((px+8)),$((py+ph*50/100)) $((px+pw-8)),$((py+ph*50/100))" \
    -draw "line $((px+8)),$((py+ph*65/100)) $((px+pw-8)),$((py+ph*65/100))" \
    -stroke '#1F3F5F' -strokewidth 2 \
    -draw "line $((px+8)),$((py+ph*80/100)) $((px+pw-8)),$((py+ph*80/100))" \
    -fill '#E2B33C' -stroke '#8A6510' -strokewidth 2 \
    -draw "circle $((px+pw)),$((py+ph*78/100)) $((px+pw+s*17/100)),$((py+ph*78/100))" \
    -fill '#8A6510' -stroke none -font "$SERIFB" -pointsize $(( s*18/100 )) -gravity NorthWest \
    -annotate +$((px+pw-s*6/100))+$((py+ph*78/100-s*11/100)) 'D' \
    -quality 92 "$out"
}

# Corner picture, bottom-left of the main window, on a transparent ground so
# that the tiled background shows around it.
emblem corner_emblem.png 110 110 'xc:none'
convert -size 300x120 xc:none \
  corner_emblem.png -geometry +4+5 -composite \
  -fill '#1F3F5F' -font "$SERIFB" -pointsize 34 -annotate +118+58 'Vorel' \
  -fill '#3A5A7A' -font "$SANS" -pointsize 13 -annotate +120+82 'Gestion des Finances' \
  corner.png
rm -f corner_emblem.png

# Splash picture (left of the splash window) and about picture.
emblem splash.jpg 130 150 'gradient:#FFFFFF-#D5E0EB'
emblem about_emblem.png 150 150 'gradient:#FFFFFF-#D5E0EB'
convert -size 360x150 'gradient:#FFFFFF-#D5E0EB' \
  about_emblem.png -geometry +0+0 -composite \
  -fill '#1F3F5F' -font "$SERIFB" -pointsize 40 -annotate +160+70 'Vorel' \
  -fill '#3A5A7A' -font "$SANS" -pointsize 14 -annotate +162+98 'Gestion des Finances' \
  -quality 92 about.jpg
rm -f about_emblem.png

# Emblem of the white-paper payment orders: a round seal with a ring of dots,
# a star and an open book, in greys that print well in black and white.
seal=(-fill '#2B2B2B' -stroke none)
while read -r x y; do seal+=(-draw "circle $x,$y $(awk -v x="$x" 'BEGIN{print x+2.6}'),$y"); done < <(
  awk 'BEGIN{for(i=0;i<36;i++){a=i*2*3.14159265/36; printf "%.1f %.1f\n", 120+102*cos(a), 120+102*sin(a)}}')
star=$(awk 'BEGIN{for(i=0;i<10;i++){r=(i%2==0)?17:7; a=-3.14159265/2+i*3.14159265/5; printf "%.1f,%.1f ", 120+r*cos(a), 64+r*sin(a)}}')
convert -size 240x240 xc:white \
  -fill none -stroke '#2B2B2B' -strokewidth 6 -draw "circle 120,120 120,6" \
  -strokewidth 2 -draw "circle 120,120 120,28" \
  "${seal[@]}" \
  -fill '#2B2B2B' -stroke none -draw "polygon $star" \
  -fill '#E4E8EE' -stroke '#2B2B2B' -strokewidth 3 \
  -draw "polygon 58,108 117,120 117,176 58,164" -draw "polygon 123,120 182,108 182,164 123,176" \
  -stroke '#5A6470' -strokewidth 2 \
  -draw "line 68,124 108,132" -draw "line 68,136 108,144" -draw "line 68,148 108,156" \
  -draw "line 132,132 172,124" -draw "line 132,144 172,136" -draw "line 132,156 172,148" \
  -stroke "#2B2B2B" -strokewidth 3 -draw "line 120,120 120,180" -draw "line 84,196 156,196" \
  -quality 92 mandat_emblem.jpg

# Toolbar glyphs, 24 x 24 with transparency.
g() { convert -size 24x24 xc:none "$@"; }
cd glyphs
# Budget: a bar chart.
g -fill '#2E6DA4' -draw "rectangle 3,13 7,21" -fill '#3C9A4E' -draw "rectangle 10,7 14,21" \
  -fill '#D08A1E' -draw "rectangle 17,10 21,21" -stroke '#333333' -draw "line 2,22 22,22" budget.png
# Transfers: two opposite arrows.
g -fill '#2E6DA4' -draw "rectangle 3,6 15,9" -draw "polygon 15,3 21,7.5 15,12" \
  -fill '#C0392B' -draw "rectangle 9,15 21,18" -draw "polygon 9,12 3,16.5 9,21" transfert.png
# Invoices: a sheet with lines and a folded corner.
g -fill white -stroke '#555555' -draw "polygon 5,2 15,2 19,6 19,22 5,22" \
  -fill '#DDDDDD' -draw "polygon 15,2 15,6 19,6" -stroke '#2E6DA4' \
  -draw "line 8,10 16,10" -draw "line 8,13 16,13" -draw "line 8,16 16,16" -draw "line 8,19 13,19" fact.png
# Commitments: a sheet with a check mark.
g -fill '#FFF8DC' -stroke '#555555' -draw "rectangle 4,2 18,22" -stroke '#3C9A4E' -strokewidth 3 -fill none \
  -draw "polyline 7,13 10,17 17,7" eng.png
# Payment orders: a banknote.
g -fill '#9FD39A' -stroke '#2E7D32' -draw "roundrectangle 1,6 22,18 2,2" -fill '#E8F5E9' \
  -draw "circle 11.5,12 11.5,8.5" -fill '#2E7D32' -stroke none -draw "circle 4.5,12 4.5,11" -draw "circle 18.5,12 18.5,11" mandat.png
# Beneficiaries: two people.
g -fill '#7F8C9D' -draw "circle 16,8 16,4.5" -draw "ellipse 16,19 6,5 180,360" \
  -fill '#2E6DA4' -draw "circle 9,9 9,5" -draw "ellipse 9,21 7,6 180,360" four.png
# Save: a diskette.
g -fill '#2E6DA4' -stroke '#1B4B75' -draw "roundrectangle 3,3 21,21 2,2" -fill '#FFFFFF' -stroke none \
  -draw "rectangle 7,4 17,10" -fill '#D0D8E0' -draw "rectangle 7,14 17,21" -fill '#1B4B75' -draw "rectangle 14,5 16,9" save.png
# Regularisation: two arrows in a circle.
g -fill none -stroke '#2E6DA4' -strokewidth 2 -draw "arc 4,4 20,20 200,340" -stroke '#C0392B' -draw "arc 4,4 20,20 20,160" \
  -stroke none -fill '#2E6DA4' -draw "polygon 19,5 21,12 14,10" -fill '#C0392B' -draw "polygon 5,19 3,12 10,14" ppo_regul.png
# Print: a printer.
g -fill white -stroke '#555555' -draw "rectangle 7,2 17,9" -fill '#9AA5B1' -draw "roundrectangle 2,9 22,18 2,2" \
  -fill white -draw "rectangle 7,15 17,22" -stroke '#2E6DA4' -draw "line 9,18 15,18" -draw "line 9,20 15,20" print.png
# Quit: a door with an arrow.
g -fill '#8D6E63' -stroke '#4E342E' -draw "rectangle 3,2 13,22" -fill '#FFD54F' -stroke none -draw "circle 11,12 11,11" \
  -fill '#C0392B' -draw "rectangle 14,10 19,14" -draw "polygon 18,7 23,12 18,17" fermer.png
# Program icon.
cd ..
emblem vorel.png 64 64 'xc:none'
