// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/frmabout.h"
#include "tests/common/widgets.h"
#include "widgets/windows.h"

#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using startup::FrmAbout;

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { moviaryInitResources(); }

    void captionsAndLayout()
    {
        FrmAbout w;
        QCOMPARE(w.objectName(), QString("frmAbout"));
        QCOMPARE(w.windowTitle(), QString("About Moviary"));
        QCOMPARE(w.size(), QSize(279, 161));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!w.isModal());

        auto *label1 = w.findChild<QLabel *>("Label1");
        QVERIFY(label1->text().startsWith("Moviary by "));
        QVERIFY(!label1->wordWrap());
        QVERIFY(label1->sizeHint().width() <= label1->width());

        auto *label2 = w.findChild<QLabel *>("Label2");
        QVERIFY(!label2->text().isEmpty());
        QCOMPARE(label2->textFormat(), Qt::PlainText);
        QVERIFY(!label2->openExternalLinks());
        QCOMPARE(label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        QCOMPARE(w.findChild<QFrame *>("Shape1")->geometry(), QRect(0, 0, 49, 161));
        auto *icon = w.findChild<QLabel *>("Image2");
        QCOMPARE(icon->geometry(), QRect(8, 8, 32, 32));
        QCOMPARE(icon->pixmap().size(), QSize(32, 32));
        auto *banner = w.findChild<QLabel *>("Image1");
        QCOMPARE(banner->geometry(), QRect(56, 0, 218, 49));
        QCOMPARE(banner->pixmap().size(), QSize(218, 49));
        QCOMPARE(w.findChild<QPushButton *>("cmdOk")->text(), QString("Ok"));
        QCOMPARE(w.findChild<QPushButton *>("cmdOk")->geometry(), QRect(112, 128, 57, 25));

        const QImage art(":/images/banner.png");
        QCOMPARE(art.size(), QSize(218, 49));
        QVERIFY(!art.hasAlphaChannel());
        QVERIFY(art.depth() >= 24);
    }

    void blueBandWithTheIconOnIt()
    {
        FrmAbout w;
        w.show();
        const QImage shot = w.grab().toImage();
        QCOMPARE(shot.pixelColor(2, 2), QColor(0, 0, 255));
        QCOMPARE(shot.pixelColor(24, 150), QColor(0, 0, 255));
        QCOMPARE(shot.pixelColor(48, 80), QColor(0, 0, 255));
        QVERIFY(shot.pixelColor(60, 80) != QColor(0, 0, 255));
        int iconPixels = 0;
        for (int y = 8; y < 40; ++y)
            for (int x = 8; x < 40; ++x)
                iconPixels += shot.pixelColor(x, y) != QColor(0, 0, 255);
        QVERIFY(iconPixels > 100);
    }

    void okCloses()
    {
        QPointer<FrmAbout> slot;
        FrmAbout *box = widgets::showSingle(slot, [] { return new FrmAbout; });
        QCOMPARE(widgets::showSingle(slot, [] { return new FrmAbout; }), box);
        QVERIFY(box->isVisible());
        QTest::mouseClick(box->findChild<QPushButton *>("cmdOk"), Qt::LeftButton);
        QTRY_VERIFY(slot.isNull());
    }
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
