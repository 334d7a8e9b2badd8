#include "platform/windows.h"
#include "tests/common/messageboxes.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using testsupport::ModalWatch;

// Message boxes and questions come up above every window of the program, the
// top-most editor windows included, and take the keyboard focus.
class TestWindows : public QObject {
    Q_OBJECT

private slots:
    void questionsComeAboveTopMostWindowsWithTheFocus_data()
    {
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<bool>("answer");
        QTest::newRow("default Yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("default No") << int(QMessageBox::No) << false;
    }

    void questionsComeAboveTopMostWindowsWithTheFocus()
    {
        QFETCH(int, defaultButton);
        QFETCH(bool, answer);
        QWidget main;
        main.show();
        QWidget editor(nullptr, Qt::Dialog);
        platform::makeTopMost(&editor);
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));

        bool checked = false;
        ModalWatch watch([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QCOMPARE(box->windowModality(), Qt::ApplicationModal);
            QTRY_COMPARE(QApplication::activeWindow(), box);
            QTRY_COMPARE(QApplication::focusWidget(), box->defaultButton());
            // A blind Enter answers with the default button.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            checked = true;
        });
        const bool yes =
            platform::askYesNo(&main, "Please Confirm !", "Sure?", QMessageBox::StandardButton(defaultButton));
        QVERIFY(checked);
        QCOMPARE(watch.seen(), 1);
        QCOMPARE(yes, answer);

        checked = false;
        ModalWatch ok([&](QWidget *modal) {
            QVERIFY(modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QTRY_COMPARE(QApplication::activeWindow(), modal);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            checked = !modal->isVisible();
        });
        platform::showMessage(nullptr, QMessageBox::Warning, "Moviary", "Something went wrong.");
        QVERIFY(checked);
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
