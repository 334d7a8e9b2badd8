// SPDX-License-Identifier: GPL-3.0-or-later
#include "lookupwindows/lookupoptions.h"

#include "lookup/sourcefactory.h"
#include "widgets/windows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lookupwindows {

using Source = platform::LookupSettings::Source;

namespace {

// A film every source knows, searched for by the Test button.
const QString TestTitle = QStringLiteral("Casablanca");
constexpr int TestYear = 1942;

QString withoutKey(QString text, const QString &key)
{
    if (!key.isEmpty())
        text.replace(key, QStringLiteral("(key)"));
    return text;
}

} // namespace

LookupOptions::LookupOptions(QWidget *parent) : QDialog(parent), saved_(platform::lookupSettings())
{
    setObjectName("LookupOptions");
    widgets::pressFocusedButtonOnReturn(this);
    setWindowTitle(QStringLiteral("Online Look-Up"));
    widgets::makeTopMost(this);

    auto *intro = new QLabel(QStringLiteral("Movies are looked up by their title and year; nothing else is sent. "
                                            "Wikidata needs no account. The Movie Database needs your own API key "
                                            "or read access token."));
    intro->setObjectName("lblIntro");
    intro->setWordWrap(true);

    sourceBox_ = new QComboBox;
    sourceBox_->setObjectName("cboSource");
    sourceBox_->addItem(QStringLiteral("Wikidata"), QStringLiteral("wikidata"));
    sourceBox_->addItem(QStringLiteral("The Movie Database"), QStringLiteral("tmdb"));
    sourceBox_->setCurrentIndex(saved_.source == Source::Tmdb ? 1 : 0);
    sourceBox_->setAccessibleName(QStringLiteral("Look movies up in"));

    keyText_ = new QLineEdit(saved_.tmdbKey);
    keyText_->setObjectName("txtKey");
    keyText_->setEchoMode(QLineEdit::Password);
    keyText_->setAccessibleName(QStringLiteral("The Movie Database key"));
    keyText_->setAccessibleDescription(QStringLiteral("Your API key or read access token"));
    keyLabel_ = new QLabel(QStringLiteral("&Key of The Movie Database:"));
    keyLabel_->setBuddy(keyText_);

    testButton_ = new QPushButton(QStringLiteral("&Test"));
    testButton_->setObjectName("cmdTest");
    testButton_->setAutoDefault(false);
    testButton_->setAccessibleName(QStringLiteral("Test"));
    testButton_->setAccessibleDescription(QStringLiteral("Searches the source chosen for a well-known movie"));
    testResult_ = new QLabel;
    testResult_->setObjectName("lblTestResult");
    testResult_->setTextFormat(Qt::PlainText);
    testResult_->setWordWrap(true);
    testResult_->setAccessibleName(QStringLiteral("Test result"));

    auto *sourceLabel = new QLabel(QStringLiteral("&Look movies up in:"));
    sourceLabel->setBuddy(sourceBox_);
    auto *form = new QFormLayout;
    form->addRow(sourceLabel, sourceBox_);
    form->addRow(keyLabel_, keyText_);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(testButton_);
    testRow->addWidget(testResult_, 1);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons_->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    buttons_->button(QDialogButtonBox::Cancel)->setObjectName("cmdCancel");
    buttons_->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons_->button(QDialogButtonBox::Cancel)->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addLayout(testRow);
    layout->addStretch();
    layout->addWidget(buttons_);
    resize(460, sizeHint().height());

    connect(sourceBox_, &QComboBox::currentIndexChanged, this, &LookupOptions::onSourceChanged);
    connect(keyText_, &QLineEdit::textEdited, this, &LookupOptions::stopTest);
    connect(testButton_, &QPushButton::clicked, this, &LookupOptions::onTest);
    connect(buttons_, &QDialogButtonBox::accepted, this, &LookupOptions::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &LookupOptions::reject);
    onSourceChanged();
}

LookupOptions::~LookupOptions() { stopTest(); }

platform::LookupSettings LookupOptions::chosen() const
{
    platform::LookupSettings settings = saved_;
    settings.source = sourceBox_->currentIndex() == 1 ? Source::Tmdb : Source::Wikidata;
    settings.tmdbKey = keyText_->text().trimmed();
    return settings;
}

bool LookupOptions::keyMissing() const { return chosen().source == Source::Tmdb && chosen().tmdbKey.isEmpty(); }

void LookupOptions::onSourceChanged()
{
    stopTest();
    const bool tmdb = sourceBox_->currentIndex() == 1;
    keyText_->setEnabled(tmdb);
    keyLabel_->setEnabled(tmdb);
}

void LookupOptions::showResult(const QString &text)
{
    testResult_->setText(text);
    testResult_->setAccessibleDescription(text);
}

void LookupOptions::onTest()
{
    stopTest();
    if (keyMissing()) {
        showResult(QStringLiteral("Enter your key of The Movie Database first."));
        keyText_->setFocus();
        return;
    }
    // No request may outlive the source that made it.
    finishedTest_.reset();
    testSource_ = lookup::sourceFor(chosen());
    if (!testSource_) {
        showResult(QStringLiteral("The online look-up is not available in this copy of the program."));
        return;
    }
    test_ = testSource_->search(TestTitle, TestYear);
    if (!test_) {
        showResult(QStringLiteral("%1 could not be asked.").arg(testSource_->name()));
        return;
    }
    showResult(QStringLiteral("Asking %1...").arg(testSource_->name()));
    testButton_->setEnabled(false);
    connect(test_.get(), &lookup::Request::finished, this, &LookupOptions::onTestFinished);
}

void LookupOptions::onTestFinished()
{
    finishedTest_ = std::move(test_);
    testButton_->setEnabled(true);
    const QString name = testSource_->name();
    if (finishedTest_->failure() == lookup::Failure::None) {
        showResult(QStringLiteral("%1 answered: the look-up works.").arg(name));
        return;
    }
    const QString why = finishedTest_->errorMessage();
    showResult(withoutKey(why.isEmpty() ? QStringLiteral("%1 did not answer.").arg(name) : why, chosen().tmdbKey));
}

void LookupOptions::stopTest()
{
    if (test_) {
        disconnect(test_.get(), nullptr, this, nullptr);
        if (!test_->isFinished())
            test_->abort();
        test_.reset();
        showResult(QString());
    }
    testButton_->setEnabled(true);
}

void LookupOptions::accept()
{
    if (keyMissing()) {
        widgets::showMessage(this, QMessageBox::Information, windowTitle(),
                             QStringLiteral("Enter your key of The Movie Database, or choose Wikidata, which "
                                            "needs no key."));
        keyText_->setFocus();
        return;
    }
    if (const platform::Failure error = platform::saveLookupSettings(chosen()))
        widgets::showMessage(this, QMessageBox::Warning, windowTitle(), error.message);
    QDialog::accept();
}

void LookupOptions::done(int result)
{
    stopTest();
    QDialog::done(result);
}

} // namespace lookupwindows
