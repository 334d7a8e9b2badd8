// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lookup/source.h"
#include "platform/settings.h"

#include <QDialog>
#include <memory>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lookupwindows {

// Where movies are looked up: the source, the key of The Movie Database, and a test of
// the source chosen. OK saves them into the settings.
class LookupOptions : public QDialog {
    Q_OBJECT
public:
    explicit LookupOptions(QWidget *parent = nullptr);
    ~LookupOptions() override;

    void accept() override;
    void done(int result) override;

private:
    platform::LookupSettings chosen() const;
    bool keyMissing() const;
    void onSourceChanged();
    void onTest();
    void onTestFinished();
    void stopTest();
    void showResult(const QString &text);

    platform::LookupSettings saved_;
    QComboBox *sourceBox_;
    QLabel *keyLabel_;
    QLineEdit *keyText_;
    QPushButton *testButton_;
    QLabel *testResult_;
    QDialogButtonBox *buttons_;

    // Declared before the requests, so that no request outlives its source.
    std::unique_ptr<lookup::Source> testSource_;
    std::unique_ptr<lookup::Request> finishedTest_;
    std::unique_ptr<lookup::Request> test_;
};

} // namespace lookupwindows
