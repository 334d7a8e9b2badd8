#pragma once

#include <QMessageBox>
#include <QString>

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

} // namespace testsupport
