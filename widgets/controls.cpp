// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/controls.h"

#include "widgets/twips.h"

#include <QLabel>
#include <QPushButton>

namespace widgets {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text, int left, int top, int width, int height,
                  const QString &style, const QFont *font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    widgets::placeTwips(label, left, top, width, height);
    if (!style.isEmpty())
        label->setStyleSheet(style);
    label->setFont(font ? *font : widgets::sansSerif(8.25));
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption, int left, int top, int width,
                        int height)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    widgets::placeTwips(button, left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

void stylePanel(QWidget *panel, const QString &name, const QString &background)
{
    panel->setObjectName(name);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QString("#%1 { background: %2; }").arg(name, background));
}

} // namespace widgets
