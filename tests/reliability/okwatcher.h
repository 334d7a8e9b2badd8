// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

namespace reliability {

// While it lives, answers every modal message box that has an OK button and keeps
// what each said. Unlike an answerer waiting for one box, it is gone with its scope,
// so it never takes a box meant for a later step.
class OkWatcher {
public:
    OkWatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box->button(QMessageBox::Ok)) {
                texts << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start(10);
    }
    OkWatcher(const OkWatcher &) = delete;
    OkWatcher &operator=(const OkWatcher &) = delete;

    QStringList texts;

private:
    QTimer timer_;
};

} // namespace reliability
