// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace widgets {

// Window measures are kept in twips (1440 to the inch); the screen has 96 pixels to
// the inch, so 15 twips make one pixel.
constexpr int TwipsPerPixel = 15;
inline int twips(int t) { return (t + (t >= 0 ? TwipsPerPixel / 2 : -TwipsPerPixel / 2)) / TwipsPerPixel; }
inline int toTwips(int pixels) { return pixels * TwipsPerPixel; }
inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}
// Places a widget at a rectangle given in twips.
void placeTwips(QWidget *w, int left, int top, int width, int height);

// The classic dialog font at a point size ("MS Sans Serif", with the system's
// nearest match where it is missing).
QFont sansSerif(qreal pointSize, bool bold = false);

} // namespace widgets
