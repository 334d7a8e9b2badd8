// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testsupport {

// What a message box said before the test answered it.
struct SeenMessage {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the next modal message box with the button, as a user would, and records
// what it showed. Keep the returned object alive until the box has been answered.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton answer);
    const SeenMessage &seen() const { return *seen_; }

private:
    std::shared_ptr<SeenMessage> seen_;
};

// Hands every modal window that shows while it lives to the handler, which looks at it
// and answers it as a user would (real key presses); one the handler leaves open is
// rejected. Without a handler it only counts and rejects, so that a test can check that
// no question came up without hanging when one does.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget *modal)> handler = {});
    int seen() const { return seen_; }

private:
    std::function<void(QWidget *)> handler_;
    QTimer timer_;
    int seen_ = 0;
};

// Clicks the dialog's button and answers the message box it brings up, if one comes,
// with answer. The watch ends with the click, so that it never answers a later box.
SeenMessage clickAnswering(QWidget *dialog, const char *button, QMessageBox::StandardButton answer);

} // namespace testsupport
