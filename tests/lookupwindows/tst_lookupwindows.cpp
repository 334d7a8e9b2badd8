// SPDX-License-Identifier: GPL-3.0-or-later
// Looking one movie up from the add and edit dialogs, against a scripted source, and the
// look-up options.

#include "catalogue/schema.h"
#include "editor/frmaddnew.h"
#include "editor/frmedit.h"
#include "lookup/sourcefactory.h"
#include "lookupwindows/lookupoptions.h"
#include "platform/settings.h"
#include "tests/common/accessibility.h"
#include "tests/common/messageboxes.h"
#include "tests/common/widgets.h"
#include "tests/editor/editorfixture.h"
#include "tests/lookup/scriptedsource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

using namespace catalogue;
using namespace editortest;
using editor::FrmAddNew;
using editor::FrmEdit;
using lookup::Failure;
using lookupwindows::LookupOptions;
using platform::LookupSettings;
using testsupport::control;
using testsupport::flushDeletes;
using testsupport::MessageBoxAnswerer;
using testsupport::movie;
using testsupport::shown;

Q_DECLARE_METATYPE(lookup::Failure)

namespace {

Movie alienFound()
{
    return makeMovie("Alien", "The crew of a space tug meets a deadly creature.", "Horror",
                     "Sigourney Weaver, Tom Skerritt, John Hurt", "", "R", "1979", "117");
}

QDialog *lookupWindow(QWidget *dialog) { return dialog->findChild<QDialog *>("frmLookup"); }

QCheckBox *offer(QWidget *dialog, const char *field)
{
    QDialog *window = lookupWindow(dialog);
    return window ? window->findChild<QCheckBox *>(QByteArray("chk") + field) : nullptr;
}

} // namespace

class TestLookupWindows : public QObject, public EditorFixture {
    Q_OBJECT

    std::shared_ptr<lookuptest::Script> script;
    LookupSettings asked;

    // Looks up from the dialog, picks the first film and waits for the comparison.
    bool reachComparison(QWidget *d)
    {
        click(d, "cmdLookup");
        if (!QTest::qWaitFor([&] {
                return lookupWindow(d) && lookupWindow(d)->findChild<QTreeWidget *>()->topLevelItemCount() > 0;
            }))
            return false;
        click(lookupWindow(d), "cmdOK");
        return QTest::qWaitFor([&] { return offer(d, "Title") || offer(d, "Description") || offer(d, "Actors"); });
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init()
    {
        setUpCase();
        testsupport::clearTestSettings();
        script = std::make_shared<lookuptest::Script>();
        // Both spellings of the title find the same two films.
        for (const char *title : {"Alien", "alien"}) {
            script->searches[title].candidates = {{"Q103569", "Alien", 1979, "1979 film by Ridley Scott"},
                                                  {"Q1000", "Alien Nation", 1988, "1988 film"}};
        }
        script->details["Q103569"].details = alienFound();
        lookup::installSourceFactory([this](const LookupSettings &settings) {
            asked = settings;
            return std::make_unique<lookuptest::ScriptedSource>(script);
        });
    }
    void cleanup()
    {
        tearDownCase();
        lookup::installSourceFactory({});
    }

    void emptyFieldsAreFilledInAndSavedOnlyByFinish()
    {
        makeHost({movie("Heat")});
        const auto before = folder->moviesInFile();
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        QVERIFY(QTest::qWaitForWindowActive(d));
        control<QLineEdit>(d, "Text1")->setText("Alien");
        QTest::keyClick(d, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(lookupWindow(d));
        auto *list = control<QTreeWidget>(lookupWindow(d), "lstCandidates");
        QTRY_COMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(1), QString("1979"));
        QCOMPARE(list->topLevelItem(0)->text(2), QString("1979 film by Ridley Scott"));
        // A double-click picks the film.
        emit list->itemActivated(list->topLevelItem(0), 0);
        QTRY_VERIFY(offer(d, "Description"));
        QCOMPARE(script->asked, QStringList({"search Alien 0", "details Q103569"}));
        // The typed title equals the one found, so it is not offered; every empty box is checked.
        QVERIFY(!offer(d, "Title") && !offer(d, "Review"));
        for (const char *field : {"Description", "Category", "Actors", "Rating", "Year", "Time"})
            QVERIFY2(offer(d, field)->isChecked(), field);
        click(lookupWindow(d), "cmdApply");
        flushDeletes();
        QVERIFY(!lookupWindow(d));
        QVERIFY(shown(d) == alienFound());
        auto *category = control<QComboBox>(d, "cboCat");
        QCOMPARE(category->itemText(category->currentIndex()), QString("Horror"));
        QCOMPARE(control<QComboBox>(d, "cboRating")->currentText(), QString("R"));
        QVERIFY(folder->moviesInFile() == before);
        click(d, "cmdFinish");
        flushDeletes();
        QCOMPARE(folder->moviesInFile().size(), before.size() + 1);
        QVERIFY(folder->moviesInFile().back() == alienFound());
    }

    void filledFieldsAreKeptUnlessChecked()
    {
        makeHost({makeMovie("alien", "My own words", "Drama", "", "Scary", "PG", "1979", "")});
        script->details["Q103569"].details[Field::Category] = "Western";
        script->details["Q103569"].details[Field::Rating] = "TV-MA";
        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        d->show();
        QVERIFY(reachComparison(d));
        QCOMPARE(script->asked.first(), QString("search alien 1979"));
        // The typed year equals the one found; the typed title differs in case only, but differs.
        QVERIFY(!offer(d, "Year"));
        QVERIFY(!offer(d, "Title")->isChecked());
        QVERIFY(!offer(d, "Description")->isChecked());
        QVERIFY(!offer(d, "Rating")->isChecked());
        QVERIFY(offer(d, "Actors")->isChecked() && offer(d, "Time")->isChecked());
        // A category outside the twelve cannot be taken, and the window says so.
        QVERIFY(!offer(d, "Category")->isEnabled() && !offer(d, "Category")->isChecked());
        QVERIFY(control<QLabel>(lookupWindow(d), "lblFoundCategory")->text().contains("stays as it is"));
        QCOMPARE(control<QLabel>(lookupWindow(d), "lblNowDescription")->text(), QString("My own words"));
        offer(d, "Rating")->setChecked(true);
        click(lookupWindow(d), "cmdApply");
        const Movie now = shown(d);
        QCOMPARE(now[Field::Title], QString("alien"));
        QCOMPARE(now[Field::Description], QString("My own words"));
        QCOMPARE(now[Field::Category], QString("Drama"));
        QCOMPARE(now[Field::Actors], alienFound()[Field::Actors]);
        QCOMPARE(now[Field::Review], QString("Scary"));
        // A rating outside the list is typed into the box, as the user could type it.
        QCOMPARE(now[Field::Rating], QString("TV-MA"));
        QCOMPARE(control<QComboBox>(d, "cboRating")->currentIndex(), -1);
        QCOMPARE(now[Field::Time], QString("117"));

        // Checked, a filled box takes the value found.
        QVERIFY(reachComparison(d));
        offer(d, "Description")->setChecked(true);
        click(lookupWindow(d), "cmdApply");
        QCOMPARE(shown(d)[Field::Description], alienFound()[Field::Description]);
    }

    void nothingToLookUpOrNothingFound()
    {
        makeHost({movie("Heat")});
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        {
            MessageBoxAnswerer answer(QMessageBox::Ok);
            click(d, "cmdLookup");
            QTRY_VERIFY(answer.seen().shown);
            QVERIFY(answer.seen().text.contains("title"));
            QVERIFY(script->asked.isEmpty());
        }
        control<QLineEdit>(d, "Text1")->setText("Zzyzx Road");
        control<QLineEdit>(d, "Text5")->setText("about 2006");
        MessageBoxAnswerer answer(QMessageBox::Ok);
        click(d, "cmdLookup");
        QTRY_VERIFY(answer.seen().shown);
        QCOMPARE(answer.seen().text, QString("No movie called \"Zzyzx Road\" was found in Wikidata."));
        // A year that is not a number is not sent.
        QCOMPARE(script->asked, QStringList({"search Zzyzx Road 0"}));
        flushDeletes();
        QVERIFY(!lookupWindow(d));
    }

    void failureLeavesEveryBoxAsItWas_data()
    {
        QTest::addColumn<bool>("whileSearching");
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<QString>("message");
        const std::pair<Failure, const char *> failures[] = {
            {Failure::Network, "Wikidata could not be reached: the host was not found."},
            {Failure::TimedOut, "Wikidata did not answer within 10 seconds."},
            {Failure::HttpError, "Wikidata answered with an error (HTTP 503)."},
            {Failure::RateLimited, "Wikidata asks to wait before the next look-up."},
            {Failure::KeyRefused, "The Movie Database refused the key."},
            {Failure::BadAnswer, "Wikidata sent an answer that is not what a look-up expects."},
            {Failure::TooLarge, "Wikidata sent an answer too large to read."}};
        for (auto [failure, message] : failures) {
            QTest::addRow("search %d", int(failure)) << true << failure << QString(message);
            QTest::addRow("details %d", int(failure)) << false << failure << QString(message);
        }
    }
    void failureLeavesEveryBoxAsItWas()
    {
        QFETCH(bool, whileSearching);
        QFETCH(Failure, failure);
        QFETCH(QString, message);
        makeHost({makeMovie("Alien", "", "Horror", "", "", "", "", "")});
        lookuptest::Answer &failing = whileSearching ? script->searches["Alien"] : script->details["Q103569"];
        failing.failure = failure;
        failing.message = message;
        QPointer<FrmEdit> d = FrmEdit::create(*host);
        QVERIFY(d);
        d->show();
        const Movie before = shown(d);
        MessageBoxAnswerer answer(QMessageBox::Ok);
        click(d, "cmdLookup");
        if (!whileSearching) {
            QTRY_VERIFY(lookupWindow(d) && lookupWindow(d)->findChild<QTreeWidget *>()->topLevelItemCount() > 0);
            click(lookupWindow(d), "cmdOK");
        }
        QTRY_VERIFY(answer.seen().shown);
        QCOMPARE(answer.seen().text, message);
        QCOMPARE(answer.seen().icon, QMessageBox::Warning);
        flushDeletes();
        QVERIFY(!lookupWindow(d));
        QVERIFY(shown(d) == before);
        QVERIFY(!d->hasUnsavedEntries());
    }

    void cancelWhileSearching_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "button";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
    }
    void cancelWhileSearching()
    {
        QFETCH(QString, how);
        makeHost({movie("Heat")});
        script->searches["Alien"].hang = true;
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        control<QLineEdit>(d, "Text1")->setText("Alien");
        const Movie before = shown(d);
        click(d, "cmdLookup");
        QPointer<QDialog> window = lookupWindow(d);
        QVERIFY(window && window->isVisible());
        QVERIFY(control<QLabel>(window, "lblStatus")->text().contains("Searching Wikidata for \"Alien\""));
        if (how == "button")
            click(window, "cmdCancel");
        else if (how == "escape")
            QTest::keyClick(window, Qt::Key_Escape);
        else
            window->close();
        flushDeletes();
        QVERIFY(!window);
        QCOMPARE(script->aborted, 1);
        QCOMPARE(script->open, 0);
        QVERIFY(shown(d) == before);
        // The dialog is usable again, and a new look-up starts afresh.
        QVERIFY(d->isEnabled());
        click(d, "cmdLookup");
        QVERIFY(lookupWindow(d));
        QCOMPARE(script->asked.size(), 2);
    }

    void editorGoingDuringLookUpStopsIt_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("closed") << false;
        QTest::newRow("deleted with the main window") << true;
    }
    void editorGoingDuringLookUpStopsIt()
    {
        QFETCH(bool, deleted);
        makeHost({movie("Heat")});
        script->searches["Alien"].hang = true;
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        control<QLineEdit>(d, "Text1")->setText("Alien");
        click(d, "cmdLookup");
        QVERIFY(lookupWindow(d));
        if (deleted) {
            delete d.data();
        } else {
            MessageBoxAnswerer discard(QMessageBox::Yes);
            d->close();
            QTRY_VERIFY(discard.seen().shown);
        }
        flushDeletes();
        QVERIFY(!d);
        QCOMPARE(script->aborted, 1);
        QCOMPARE(script->open, 0);
        QCOMPARE(FakeHost::loadedEditors(), 0);
    }

    void optionsSaveSourceAndKey()
    {
        auto options = std::make_unique<LookupOptions>();
        options->show();
        QVERIFY(QTest::qWaitForWindowActive(options.get()));
        QCOMPARE(options->objectName(), QString("LookupOptions"));
        auto *source = control<QComboBox>(options.get(), "cboSource");
        auto *key = control<QLineEdit>(options.get(), "txtKey");
        QCOMPARE(source->currentText(), QString("Wikidata"));
        QVERIFY(!key->isEnabled());
        QCOMPARE(key->echoMode(), QLineEdit::Password);
        QVERIFY(testsupport::unnamedFocusable(options.get()).isEmpty());
        source->setCurrentIndex(1);
        QVERIFY(key->isEnabled());

        // The Movie Database without a key is not taken.
        {
            MessageBoxAnswerer answer(QMessageBox::Ok);
            click(options.get(), "cmdOK");
            QTRY_VERIFY(answer.seen().shown);
            QVERIFY(options->isVisible());
            QCOMPARE(platform::lookupSettings().source, LookupSettings::Source::Wikidata);
        }
        key->setFocus();
        QTest::keyClicks(key, " abc123 ");
        QTest::keyClick(key, Qt::Key_Return);
        QVERIFY(!options->isVisible());
        const LookupSettings saved = platform::lookupSettings();
        QCOMPARE(saved.source, LookupSettings::Source::Tmdb);
        QCOMPARE(saved.tmdbKey, QString("abc123"));
        QCOMPARE(saved.wikidataAddress, QUrl(testsupport::RefusingAddress));

        // Opened again it shows what was saved; Escape keeps it.
        options = std::make_unique<LookupOptions>();
        options->show();
        QVERIFY(QTest::qWaitForWindowActive(options.get()));
        QCOMPARE(control<QComboBox>(options.get(), "cboSource")->currentIndex(), 1);
        QCOMPARE(control<QLineEdit>(options.get(), "txtKey")->text(), QString("abc123"));
        control<QComboBox>(options.get(), "cboSource")->setCurrentIndex(0);
        QTest::keyClick(options.get(), Qt::Key_Escape);
        QVERIFY(!options->isVisible());
        QCOMPARE(platform::lookupSettings().source, LookupSettings::Source::Tmdb);

        // Return on Cancel cancels; it does not press the default OK.
        options->show();
        QVERIFY(QTest::qWaitForWindowActive(options.get()));
        control<QComboBox>(options.get(), "cboSource")->setCurrentIndex(0);
        auto *cancel = control<QPushButton>(options.get(), "cmdCancel");
        cancel->setFocus(Qt::TabFocusReason);
        QTest::keyClick(cancel, Qt::Key_Return);
        QVERIFY(!options->isVisible());
        QCOMPARE(platform::lookupSettings().source, LookupSettings::Source::Tmdb);
    }

    void optionsTestAsksTheChosenSource()
    {
        LookupOptions options;
        options.show();
        control<QComboBox>(&options, "cboSource")->setCurrentIndex(1);
        control<QLineEdit>(&options, "txtKey")->setText("secret-key");
        script->name = "The Movie Database";
        click(&options, "cmdTest");
        auto *result = control<QLabel>(&options, "lblTestResult");
        QTRY_VERIFY(result->text().contains("answered"));
        QCOMPARE(script->asked, QStringList({"search Casablanca 1942"}));
        // The test uses what the dialog shows, saved or not.
        QCOMPARE(asked.source, LookupSettings::Source::Tmdb);
        QCOMPARE(asked.tmdbKey, QString("secret-key"));

        // A failure is named, and the key never shows, even where a message would hold it.
        script->searches["Casablanca"].failure = Failure::KeyRefused;
        script->searches["Casablanca"].message = "The Movie Database refused the key secret-key.";
        click(&options, "cmdTest");
        QTRY_VERIFY(result->text().contains("refused"));
        QVERIFY(!result->text().contains("secret-key"));

        // A test still running is stopped when the dialog closes.
        script->searches["Casablanca"].hang = true;
        click(&options, "cmdTest");
        QVERIFY(result->text().contains("Asking"));
        options.reject();
        QCOMPARE(script->aborted, 1);
        QCOMPARE(platform::lookupSettings().tmdbKey, QString());
    }

    void lookUpWindowNamesItsControls()
    {
        makeHost({movie("Heat")});
        QPointer<FrmAddNew> d = new FrmAddNew(*host);
        d->show();
        control<QLineEdit>(d, "Text1")->setText("Alien");
        // The chooser, then the comparison of the film picked.
        click(d, "cmdLookup");
        QTRY_VERIFY(lookupWindow(d) && control<QTreeWidget>(lookupWindow(d), "lstCandidates")->topLevelItemCount() > 0);
        QStringList unnamed = testsupport::unnamedFocusable(lookupWindow(d));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QCOMPARE(testsupport::accessibleRole(lookupWindow(d)), QAccessible::Dialog);
        click(lookupWindow(d), "cmdOK");
        QTRY_VERIFY(offer(d, "Description"));
        unnamed = testsupport::unnamedFocusable(lookupWindow(d));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
        QCOMPARE(lookupWindow(d)->windowModality(), Qt::WindowModal);
    }
};

QTEST_MAIN(TestLookupWindows)
#include "tst_lookupwindows.moc"
