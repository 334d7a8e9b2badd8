#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the pictures of the user guide with ImageMagick (Debian package imagemagick).
# The PNG files are kept beside this script, so building Moviary does not need it.
set -e
cd "$(dirname "$0")"
FONT=DejaVu-Sans
BOLD=DejaVu-Sans-Bold

# A labelled sketch of the main window.
button() { # x y w h caption
    echo "fill #e4e4e4 stroke #707070 rectangle $1,$2 $(($1+$3)),$(($2+$4))"
}
{
    # frame, title bar, menu bar, toolbar
    echo "fill #f0f0f0 stroke #404040 rectangle 10,10 750,560"
    echo "fill #2a4d8f stroke none rectangle 11,11 749,34"
    echo "fill #ffffff stroke #909090 rectangle 11,35 749,56"
    echo "fill #f0f0f0 stroke #909090 rectangle 11,57 749,88"
    button 18 61 90 23; button 122 61 74 23; button 202 61 118 23; button 334 61 104 23; button 444 61 56 23
    # search panel
    echo "fill #808080 stroke #404040 rectangle 12,92 168,558"
    echo "fill #000000 stroke none rectangle 13,93 167,110"
    echo "fill #ffffff stroke #404040 rectangle 18,152 146,172"
    echo "fill #ffffff stroke #404040 rectangle 18,212 146,232"
    echo "fill #e4e4e4 stroke #404040 rectangle 130,213 145,231"
    button 18 262 128 25
    echo "fill #000000 stroke none rectangle 13,308 167,325"
    # browse panel
    echo "fill #ffffff stroke #404040 rectangle 172,92 748,282"
    echo "fill #ffffff stroke #a0a0a0 rectangle 578,100 736,116"
    echo "fill #ffffff stroke #a0a0a0 rectangle 578,117 736,133"
    echo "fill #000000 stroke none rectangle 578,141 736,158"
    button 180 132 73 25; button 276 132 73 25; button 388 132 73 25
    for row in 0 1 2; do
        for col in 0 1 2 3; do
            button $((180 + col*96)) $((180 + row*32)) 89 25
        done
    done
    button 576 244 89 25
    # list and detail pane
    echo "fill #ffffff stroke #404040 rectangle 172,286 748,558"
    echo "fill #e8e8e8 stroke #a0a0a0 rectangle 173,287 747,305"
    echo "fill #c8d8f0 stroke none rectangle 173,306 747,323"
    for x in 290 410 480 580 628 674 711; do echo "stroke #c0c0c0 line $x,287 $x,558"; done
    for y in 323 341 359 377; do echo "stroke #e0e0e0 line 173,$y 747,$y"; done
} > /tmp/moviary-shapes.mvg

convert -size 760x600 xc:white -font $FONT -draw "$(cat /tmp/moviary-shapes.mvg)" \
    -fill white -pointsize 13 -font $BOLD -draw "text 20,28 'Moviary'" \
    -fill black -pointsize 12 -font $FONT \
    -draw "text 20,51 'File'" -draw "text 64,51 'Options'" -draw "text 136,51 'Sort Method'" -draw "text 230,51 'Help'" \
    -pointsize 11 \
    -draw "text 28,77 'Create New'" -draw "text 136,77 'List All'" -draw "text 214,77 'Browse Buttons'" \
    -draw "text 344,77 'Help Using...'" -draw "text 457,77 'Exit'" \
    -fill white -draw "text 16,106 'Search for Movies'" -draw "text 20,146 'Search For :'" \
    -draw "text 20,206 'Look In :'" -draw "text 16,321 'Movies Found : 3'" \
    -fill black -draw "text 22,167 'star'" -draw "text 22,227 'Title'" -draw "text 34,279 'Find Movies...'" \
    -font $BOLD -pointsize 17 -draw "text 182,118 'All DVD Movies'" \
    -font $FONT -pointsize 11 -draw "text 582,112 'Merge: Off'" -draw "text 582,129 'Sort: Ascending'" \
    -fill white -draw "text 582,154 'Record 1 of 42'" -fill black \
    -draw "text 190,149 'Previous'" -draw "text 298,149 'Next'" -draw "text 398,149 'Category'" \
    -draw "text 188,197 'Action'" -draw "text 284,197 'Biography'" -draw "text 380,197 'Comedy'" -draw "text 476,197 'Documentary'" \
    -draw "text 188,229 'Drama'" -draw "text 284,229 'Horror'" -draw "text 380,229 'Instructional'" -draw "text 476,229 'Musical'" \
    -draw "text 188,261 'Mystery'" -draw "text 284,261 'Sci-Fi'" -draw "text 380,261 'Sports'" -draw "text 476,261 'Suspense'" \
    -draw "text 588,261 'Add Movie'" \
    -fill gray50 -pointsize 10 -draw "text 578,196 'Select a Movie Category'" -draw "text 578,208 'to Browse.'" \
    -draw "text 578,226 'Click below to Add'" -draw "text 578,238 'a New Movie.'" \
    -fill black -pointsize 11 \
    -draw "text 178,300 'Title'" -draw "text 294,300 'Description'" -draw "text 414,300 'Category'" \
    -draw "text 484,300 'Actors'" -draw "text 584,300 'Review'" -draw "text 632,300 'Rating'" \
    -draw "text 678,300 'Year'" -draw "text 715,300 'Time'" \
    -draw "text 178,319 'Casablanca'" -draw "text 294,319 'Cafe owner in'" -draw "text 414,319 'Drama'" \
    -draw "text 484,319 'Bogart, Bergman'" -draw "text 632,319 'PG'" -draw "text 678,319 '1942'" -draw "text 715,319 '102'" \
    -draw "text 178,337 'Galaxy Quest'" -draw "text 414,337 'Comedy'" -draw "text 632,337 'PG'" -draw "text 678,337 '1999'" \
    -draw "text 178,355 'Gattaca'" -draw "text 414,355 'Sci-Fi'" -draw "text 632,355 'PG-13'" -draw "text 678,355 '1997'" \
    -draw "text 178,373 'Groundhog Day'" -draw "text 414,373 'Comedy'" -draw "text 632,373 'PG'" -draw "text 678,373 '1993'" \
    /tmp/moviary-main.png

# numbered callouts and their legend
callout() { # n x y
    echo "fill #d02020 stroke white circle $2,$3 $(($2+11)),$3"
}
{
    callout 1 300 45; callout 2 520 72; callout 3 150 130; callout 4 470 110
    callout 5 720 170; callout 6 567 172; callout 7 470 450
} > /tmp/moviary-callouts.mvg
convert /tmp/moviary-main.png -draw "$(cat /tmp/moviary-callouts.mvg)" -font $BOLD -pointsize 13 -fill white \
    -draw "text 296,50 '1'" -draw "text 516,77 '2'" -draw "text 146,135 '3'" -draw "text 466,115 '4'" \
    -draw "text 716,175 '5'" -draw "text 563,177 '6'" -draw "text 466,455 '7'" \
    -fill black -font $FONT -pointsize 12 \
    -draw "text 12,585 '1 menu bar   2 toolbar   3 search panel   4 browse panel   5 record counter   6 category buttons   7 movie list'" \
    -strip mainwindow.png
rm -f /tmp/moviary-main.png /tmp/moviary-shapes.mvg /tmp/moviary-callouts.mvg

# The guide's emblem: a disc on a strip of film.
convert -size 64x64 xc:none \
    -fill "#2a4d8f" -draw "roundrectangle 2,14 61,49 6,6" \
    -fill white -draw "rectangle 6,17 11,21" -draw "rectangle 18,17 23,21" -draw "rectangle 30,17 35,21" \
    -draw "rectangle 42,17 47,21" -draw "rectangle 54,17 59,21" \
    -draw "rectangle 6,42 11,46" -draw "rectangle 18,42 23,46" -draw "rectangle 30,42 35,46" \
    -draw "rectangle 42,42 47,46" -draw "rectangle 54,42 59,46" \
    -fill "#d8d8e8" -stroke "#404060" -draw "circle 32,32 32,6" \
    -fill "#f4c430" -stroke none -draw "circle 32,32 32,16" \
    -fill white -stroke "#404060" -draw "circle 32,32 32,27" \
    -strip emblem.png
