// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/twips.h"

#include <QWidget>

namespace widgets {

void placeTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twipsRect(left, top, width, height));
}

QFont sansSerif(qreal pointSize, bool bold)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    // Where it is missing, a face of Arial's widths keeps captions within their
    // designed widths; the default sans face is wider and clips them.
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Nimbus Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

} // namespace widgets
