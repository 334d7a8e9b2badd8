// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxes.h"

#include "widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

namespace testsupport {

namespace {

void answerWhenShown(std::shared_ptr<SeenMessage> seen, QMessageBox::StandardButton answer, int triesLeft)
{
    QTimer::singleShot(10, [seen, answer, triesLeft] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        // A box without the answer's button is some other answerer's to take.
        if (!box || !box->button(answer)) {
            if (triesLeft > 0)
                answerWhenShown(seen, answer, triesLeft - 1);
            return;
        }
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        if (auto *def = box->defaultButton())
            seen->defaultButton = box->standardButton(def);
        box->button(answer)->click();
    });
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(QMessageBox::StandardButton answer) : seen_(std::make_shared<SeenMessage>())
{
    answerWhenShown(seen_, answer, 500);
}

ModalWatch::ModalWatch(std::function<void(QWidget *)> handler) : handler_(std::move(handler))
{
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        ++seen_;
        if (handler_)
            handler_(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
    timer_.start();
}

SeenMessage clickAnswering(QWidget *dialog, const char *button, QMessageBox::StandardButton answer)
{
    SeenMessage seen;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton = box->standardButton(box->defaultButton());
        box->button(answer)->click();
    });
    watch.start();
    control<QPushButton>(dialog, button)->click();
    flushDeletes();
    return seen;
}

} // namespace testsupport
