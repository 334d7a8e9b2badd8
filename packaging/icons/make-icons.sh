#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG icons from the scalable one with rsvg-convert (Debian package librsvg2-bin).
# The PNG files are kept beside this script, so building Moviary does not need it.
set -e
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w $size -h $size org.moviary.Moviary.svg -o org.moviary.Moviary-$size.png
done
