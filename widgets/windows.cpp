// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windows.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace widgets {

void makeTopMost(QWidget *w) { w->setWindowFlag(Qt::WindowStaysOnTopHint, true); }

namespace {

const char *const DialogProperty = "moviaryDialog";

QAccessibleInterface *dialogInterface(const QString &, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w || !w->property(DialogProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(w, QAccessible::Dialog);
}

} // namespace

void exposeAsDialog(QWidget *w)
{
    static const bool installed = [] {
        QAccessible::installFactory(dialogInterface);
        return true;
    }();
    Q_UNUSED(installed);
    w->setProperty(DialogProperty, true);
}

namespace {

// Watches the window for a Return that its focused button left unhandled on its way up.
class ReturnPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat() ||
            (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto *button = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
        if (!button || button->window() != watched || !button->isEnabled() ||
            !(qobject_cast<QPushButton *>(button) || qobject_cast<QToolButton *>(button)))
            return false;
        button->click();
        return true;
    }
};

} // namespace

void pressFocusedButtonOnReturn(QWidget *window) { window->installEventFilter(new ReturnPressesButton(window)); }

int execOnTop(QDialog &dialog)
{
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    dialog.setWindowModality(Qt::ApplicationModal);
    // Once shown, raised over any top-most window opened before it, and focused.
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        if (QPushButton *button = box ? box->defaultButton() : nullptr)
            button->setFocus(Qt::ActiveWindowFocusReason);
    });
    return dialog.exec();
}

void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // titles and file names are shown as typed, never as markup
    box.setDefaultButton(QMessageBox::Ok);
    execOnTop(box);
}

bool askYesNo(QWidget *parent, const QString &title, const QString &text, QMessageBox::StandardButton defaultButton,
              QMessageBox::Icon icon)
{
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return execOnTop(box) == QMessageBox::Yes;
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }

void restoreArrowCursor()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace widgets
