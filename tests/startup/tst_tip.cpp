// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings.h"
#include "startup/frmtip.h"
#include "tests/common/messageboxes.h"
#include "tests/common/testfolder.h"
#include "tests/common/widgets.h"
#include "widgets/windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTest>

using startup::FrmTip;

namespace {

const char *const SettingKey = "Options/Show Tips at Startup";

const QString MissingText = QStringLiteral("That the TIPOFDAY.TXT file was not found? \r\n\r\n"
                                           "Create a text file named TIPOFDAY.TXT using NotePad with 1 tip per line. "
                                           "Then place it in the same directory as the application. ");

QVariant storedSetting()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "moviary", "moviary").value(SettingKey);
}

void storeSetting(const QString &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "moviary", "moviary");
    s.setValue(SettingKey, value);
}

void writeTips(const testsupport::TestFolder &folder, const QByteArray &bytes)
{
    QFile f(QDir(folder.path()).filePath("TIPOFDAY.TXT"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QLabel *tipText(FrmTip &w) { return w.findChild<QLabel *>("lblTipText"); }
QCheckBox *showAtStartup(FrmTip &w) { return w.findChild<QCheckBox *>("chkLoadTipsAtStartup"); }

// Every text the tip area showed: at open and after each click of "Next Tip".
QSet<QString> tipsShown(FrmTip &w, int clicks)
{
    QSet<QString> shown{tipText(w)->text()};
    auto *next = w.findChild<QPushButton *>("cmdNextTip");
    for (int i = 0; i < clicks; ++i) {
        QTest::mouseClick(next, Qt::LeftButton);
        shown.insert(tipText(w)->text());
    }
    return shown;
}

} // namespace

class TstTip : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        moviaryInitResources();
        testsupport::useTestSettings();
    }
    void init() { testsupport::clearTestSettings(); }

    void windowAndControls()
    {
        testsupport::TestFolder folder;
        writeTips(folder, "Only tip\r\n");
        FrmTip w(folder.path());
        QCOMPARE(w.objectName(), QString("frmTip"));
        QCOMPARE(w.windowTitle(), QString("Tip of the Day"));
        QCOMPARE(w.size(), QSize(273, 248));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.findChild<QLabel *>("Label1")->text(), QString("Did you know..."));
        QCOMPARE(showAtStartup(w)->text(), QString("&Show Tips at Startup"));
        QCOMPARE(w.findChild<QPushButton *>("cmdNextTip")->text(), QString("&Next Tip"));
        auto *ok = w.findChild<QPushButton *>("cmdOK");
        QCOMPARE(ok->text(), QString("OK"));
        QCOMPARE(ok->geometry(), QRect(8, 216, 81, 25));
        QVERIFY(!w.findChild<QLabel *>("Picture1")->pixmap().isNull());
        QCOMPARE(tipText(w)->font().pointSizeF(), 9.75);
        QVERIFY(tipText(w)->wordWrap());

        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.findChild<QPushButton *>("cmdNextTip"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), showAtStartup(w));
    }

    void okClosesTheWindow()
    {
        testsupport::TestFolder folder;
        writeTips(folder, "Tip\r\n");
        QPointer<FrmTip> slot;
        FrmTip *first = widgets::showSingle(slot, [&] { return new FrmTip(folder.path()); });
        QCOMPARE(widgets::showSingle(slot, [&] { return new FrmTip(folder.path()); }), first);
        QTest::mouseClick(first->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(slot.isNull());
    }

    void nextTipReachesEveryTipBlankOnesEmpty()
    {
        testsupport::TestFolder folder;
        writeTips(folder, "First tip\r\n\r\nLast tip without a line end");
        FrmTip w(folder.path());
        QCOMPARE(tipsShown(w, 300), (QSet<QString>{"First tip", "", "Last tip without a line end"}));
    }

    void lineEndsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("crlf") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
        QTest::newRow("lf, last line open") << QByteArray("one\ntwo") << QStringList{"one", "two"};
        QTest::newRow("cr") << QByteArray("one\rtwo\r") << QStringList{"one", "two"};
        QTest::newRow("empty file") << QByteArray() << QStringList{""};
        QTest::newRow("blank last line") << QByteArray("one\r\n\r\n") << QStringList{"one", ""};
        QTest::newRow("utf-8") << QByteArray("Am\xc3\xa9lie \xe2\x80\x93 caf\xc3\xa9\r\n")
                               << QStringList{QString::fromUtf8("Am\xc3\xa9lie \xe2\x80\x93 caf\xc3\xa9")};
        QTest::newRow("utf-8 with mark") << QByteArray("\xef\xbb\xbfTip\r\n") << QStringList{"Tip"};
        QTest::newRow("windows-1252") << QByteArray("Am\xe9lie \x96 \x93quoted\x94\r\n")
                                      << QStringList{QString::fromUtf8("Am\xc3\xa9lie \xe2\x80\x93 "
                                                                       "\xe2\x80\x9cquoted\xe2\x80\x9d")};
        QTest::newRow("utf-16 with mark") << QByteArray("\xff\xfeT\0i\0p\0\r\0\n\0", 12) << QStringList{"Tip"};
        QTest::newRow("markup is text") << QByteArray("<b>bold</b> & <i>more</i>\r\n")
                                        << QStringList{"<b>bold</b> & <i>more</i>"};
    }

    void lineEndsAndEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, tips);
        testsupport::TestFolder folder;
        writeTips(folder, bytes);
        FrmTip w(folder.path());
        QCOMPARE(tipsShown(w, 200), QSet<QString>(tips.begin(), tips.end()));
        QCOMPARE(tipText(w)->textFormat(), Qt::PlainText);
    }

    void missingFileExplains()
    {
        testsupport::TestFolder folder;
        {
            FrmTip w(folder.path());
            QCOMPARE(tipText(w)->text(), MissingText);
            QVERIFY(!w.loadTips(QString()));
            QVERIFY(!w.loadTips(QDir(folder.path()).filePath("nothing.txt")));
            QCOMPARE(tipText(w)->text(), MissingText);
        }

        // A folder of that name is no tips file.
        QVERIFY(QDir(folder.path()).mkdir("TIPOFDAY.TXT"));
        {
            FrmTip w(folder.path());
            QCOMPARE(tipText(w)->text(), MissingText);
        }
    }

    void unreadableFileExplains()
    {
        testsupport::TestFolder folder;
        writeTips(folder, "A tip nobody may read\r\n");
        QFile tips(QDir(folder.path()).filePath("TIPOFDAY.TXT"));
        QVERIFY(tips.setPermissions(QFileDevice::Permissions()));
        if (tips.open(QIODevice::ReadOnly))
            QSKIP("this account reads files without read permission");
        FrmTip w(folder.path());
        QCOMPARE(tipText(w)->text(), MissingText);
    }

    void hugeFilesStayUsable()
    {
        // One line of 8 MB, no line end.
        testsupport::TestFolder oneLine;
        writeTips(oneLine, QByteArray(8 * 1024 * 1024, 'x'));
        {
            FrmTip w(oneLine.path());
            const QString shown = tipText(w)->text();
            QVERIFY(!shown.isEmpty());
            QVERIFY(shown.size() < 100000);
            QCOMPARE(shown, QString(shown.size(), 'x'));
            w.show();
            QVERIFY(!w.grab().isNull());
        }

        // Reading stops inside a multi-byte character: still read as UTF-8.
        testsupport::TestFolder wide;
        QByteArray bytes("a");
        for (int i = 0; i < 3 * 1024 * 1024; ++i)
            bytes += "\xc3\xa9";
        writeTips(wide, bytes);
        {
            FrmTip w(wide.path());
            const QString shown = tipText(w)->text();
            QVERIFY(shown.size() > 1);
            QCOMPARE(shown, QString("a") + QString(shown.size() - 1, QChar(0xe9)));
        }

        // Millions of blank lines.
        testsupport::TestFolder blank;
        writeTips(blank, QByteArray(8 * 1024 * 1024, '\n'));
        FrmTip w(blank.path());
        QCOMPARE(tipsShown(w, 3), QSet<QString>{QString()});
    }

    void startupFollowsTheSetting_data()
    {
        QTest::addColumn<QString>("stored"); // null: nothing stored
        QTest::addColumn<bool>("opensWithTips");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("absent") << QString() << true << "1";
        QTest::newRow("0") << "0" << false << "0";
        QTest::newRow("1") << "1" << true << "1";
        QTest::newRow("not a number") << "abc" << true << "1";
        QTest::newRow("other number") << "2" << true << "1";
    }

    void startupFollowsTheSetting()
    {
        QFETCH(QString, stored);
        QFETCH(bool, opensWithTips);
        QFETCH(QString, storedAfter);
        if (!stored.isNull())
            storeSetting(stored);
        QCOMPARE(platform::showTipsAtStartup(), stored == "0" ? 0 : stored == "2" ? 2 : 1);

        testsupport::TestFolder folder;
        writeTips(folder, "The only tip\r\n");
        FrmTip w(folder.path());
        QCOMPARE(showAtStartup(w)->isChecked(), opensWithTips);
        QCOMPARE(tipText(w)->text(), opensWithTips ? QString("The only tip") : QString());
        QCOMPARE(storedSetting().toString(), storedAfter);
    }

    void checkBoxSavesTheSetting()
    {
        testsupport::TestFolder folder;
        FrmTip w(folder.path());
        auto *box = showAtStartup(w);
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QCOMPARE(storedSetting().toString(), QString("0"));
        QCOMPARE(platform::showTipsAtStartup(), 0);
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(storedSetting().toString(), QString("1"));

        // Unticked, the next window opens without tips.
        QTest::mouseClick(box, Qt::LeftButton);
        FrmTip next(folder.path());
        QVERIFY(!showAtStartup(next)->isChecked());
        QCOMPARE(tipText(next)->text(), QString());
    }

    // A settings file that cannot be written (a file stands where its folder goes): the
    // change is said not to be kept, not lost without a word.
    void anUnsavedSettingIsTold()
    {
        testsupport::TestFolder folder;
        QFile blocker(folder.path() + "/blocked");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path() + "/blocked/config");
        QStringList told;
        testsupport::ModalWatch watch([&](QWidget *modal) {
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                told << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        FrmTip w(folder.path());
        QTest::mouseClick(showAtStartup(w), Qt::LeftButton);
        testsupport::useTestSettings();
        QVERIFY(!told.isEmpty());
        QVERIFY2(told.last().startsWith("Your settings could not be saved in ") &&
                     told.last().endsWith("The change holds until Moviary ends."),
                 qPrintable(told.last()));
    }
};

QTEST_MAIN(TstTip)
#include "tst_tip.moc"
