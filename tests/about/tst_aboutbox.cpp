#include "Dialogs.h"
#include "DocumentOpener.h"
#include "HelpCommands.h"
#include "HelpService.h"
#include "ProgramVersion.h"
#include "TAboutBox.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestAboutBox : public QObject
{
    Q_OBJECT

private slots:
    void showsTheBuildsVersionAndCopyright();
    void designedContents();
    void labelsAreCentred();
    void logoKeepsItsPixelSize_data();
    void logoKeepsItsPixelSize();
    void logoAt120PixelsPerInch();
    void programVersionFromDottedText_data();
    void programVersionFromDottedText();
    void helpLinkOpensTheInstalledHelp_data();
    void helpLinkOpensTheInstalledHelp();
    void guideLinkOpensTheUserGuide_data();
    void guideLinkOpensTheUserGuide();
    void okCloses();
};

void TestAboutBox::showsTheBuildsVersionAndCopyright()
{
    TAboutBox box;
    const QStringList parts = QStringLiteral(DIRIDU_VERSION).split(QLatin1Char('.'));
    QCOMPARE(parts.size(), 4);
    QCOMPARE(box.Version->text(), QStringLiteral("Version ") + parts.mid(0, 3).join('.'));
    QCOMPARE(box.Version->toolTip(), parts.join('.'));
    QCOMPARE(box.Copyright->text(), QStringLiteral(DIRIDU_LEGAL_COPYRIGHT));
    QVERIFY(!box.Copyright->text().isEmpty());
}

void TestAboutBox::designedContents()
{
    TAboutBox box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.size(), QSize(305, 298));
    QCOMPARE(box.ProductName->text(), QStringLiteral("Diridu"));
    QVERIFY(box.ProductName->font().bold());
    QCOMPARE(box.ProductName->font().family(), QStringLiteral("Times New Roman"));
    QCOMPARE(box.ProductName->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(box.PurposeLabel->text(),
             QStringLiteral("Diridu is a graphical front end for Zorlane."));
    QVERIFY(box.TiffCredit->text().contains(QStringLiteral("LIBTIFF"), Qt::CaseInsensitive));
    for (QLabel *link :
         {static_cast<QLabel *>(box.HelpLink), static_cast<QLabel *>(box.UserGuideLink)}) {
        QVERIFY(link->font().underline());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(box.OkButton->text(), QStringLiteral("OK"));
    for (const char *name : {"Panel", "ProductName", "Version", "Copyright", "Logo", "ProgramIcon",
                             "HelpLink", "UserGuideLink", "PurposeLabel", "TiffCredit", "OkButton"})
        QVERIFY2(box.findChild<QWidget *>(QLatin1String(name)), name);
    // Everything fits the box.
    for (QWidget *child : box.Panel->findChildren<QWidget *>()) {
        QVERIFY2(box.Panel->rect().contains(child->geometry()), qPrintable(child->objectName()));
    }
    QVERIFY(box.rect().contains(box.OkButton->geometry()));
}

void TestAboutBox::labelsAreCentred()
{
    TAboutBox box;
    const QLabel *product = box.ProductName;
    QCOMPARE(box.Version->x(), product->x() + (product->width() - box.Version->width()) / 2);
    for (const QWidget *control :
         {static_cast<QWidget *>(box.Copyright), static_cast<QWidget *>(box.HelpLink),
          static_cast<QWidget *>(box.UserGuideLink), static_cast<QWidget *>(box.PurposeLabel)}) {
        QCOMPARE(control->x(), (box.Panel->width() - control->width()) / 2);
        QVERIFY(control->width() > 0);
    }
}

void TestAboutBox::logoKeepsItsPixelSize_data()
{
    QTest::addColumn<QSize>("designed");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("96 ppi") << QSize(64, 66) << 96 << QSize(64, 66);
    QTest::newRow("120 ppi") << QSize(64, 66) << 120 << QSize(51, 53);
    QTest::newRow("144 ppi") << QSize(64, 66) << 144 << QSize(43, 44);
    // 17.5 and 16.5: ties go to the even neighbour.
    QTest::newRow("192 ppi, ties") << QSize(35, 33) << 192 << QSize(18, 16);
    QTest::newRow("72 ppi") << QSize(64, 66) << 72 << QSize(85, 88);
    QTest::newRow("no ppi known") << QSize(64, 66) << 0 << QSize(64, 66);
}

void TestAboutBox::logoKeepsItsPixelSize()
{
    QFETCH(QSize, designed);
    QFETCH(int, ppi);
    QFETCH(QSize, expected);
    QCOMPARE(TAboutBox::scaledLogoSize(designed, ppi), expected);
}

void TestAboutBox::logoAt120PixelsPerInch()
{
    TAboutBox box;
    QCOMPARE(TAboutBox::designedLogoSize(), QSize(64, 66));
    box.scaleLogo(120);
    QCOMPARE(box.Logo->size(), QSize(51, 53));
    QCOMPARE(box.Logo->pixmap().deviceIndependentSize().toSize(), QSize(51, 53));
    // Scaling again starts from the designed size, not from the last result.
    box.scaleLogo(120);
    QCOMPARE(box.Logo->size(), QSize(51, 53));
    box.scaleLogo(96);
    QCOMPARE(box.Logo->size(), QSize(64, 66));
}

void TestAboutBox::programVersionFromDottedText_data()
{
    QTest::addColumn<QString>("dotted");
    QTest::addColumn<QString>("full");
    QTest::addColumn<QString>("shortText");
    QTest::newRow("four numbers") << "2.8.0.1"
                                  << "2.8.0.1"
                                  << "2.8.0";
    QTest::newRow("three numbers") << "2.8.5"
                                   << "2.8.5.0"
                                   << "2.8.5";
    QTest::newRow("largest words") << "65535.65535.65535.65535"
                                   << "65535.65535.65535.65535"
                                   << "65535.65535.65535";
    QTest::newRow("too large for a word") << "65536.1.2.3"
                                          << "0.1.2.3"
                                          << "0.1.2";
    QTest::newRow("not numbers") << "a.b"
                                 << "0.0.0.0"
                                 << "0.0.0";
}

void TestAboutBox::programVersionFromDottedText()
{
    QFETCH(QString, dotted);
    QFETCH(QString, full);
    QFETCH(QString, shortText);
    const TProgramVersion version = parseProgramVersion(dotted, QStringLiteral("(c) us"));
    QCOMPARE(version.text(), full);
    QCOMPARE(version.shortText(), shortText);
    QCOMPARE(version.LegalCopyright, QStringLiteral("(c) us"));
}

void TestAboutBox::helpLinkOpensTheInstalledHelp_data()
{
    QTest::addColumn<bool>("helpShown");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("help there") << true << QStringList();
    QTest::newRow("help missing") << false << QStringList{"The Zor Help file is missing."};
}

void TestAboutBox::helpLinkOpensTheInstalledHelp()
{
    QFETCH(bool, helpShown);
    QFETCH(QStringList, errors);
    ScopedRecordingDialogs dialogs;
    ScopedRecordingHelpService help;
    help.setAnswer(helpShown);
    TAboutBox box;
    box.setInstallation(QStringLiteral("/opt/zorlane/bin/DirIduHelp"),
                        QStringLiteral("/opt/zorlane/"));
    box.show();
    QTest::mouseClick(box.HelpLink, Qt::LeftButton);
    QCOMPARE(help.requests().size(), 1);
    QCOMPARE(help.requests().first().kind, QStringLiteral("help"));
    QCOMPARE(help.requests().first().target, QStringLiteral("/opt/zorlane/bin/DirIduHelp"));
    QCOMPARE(dialogs.texts(), errors);
    if (!errors.isEmpty())
        QCOMPARE(dialogs.shown().first().buttons, QStringList{"Cancel"});
}

void TestAboutBox::guideLinkOpensTheUserGuide_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("opened") << 33 << QStringList();
    QTest::newRow("opened, larger result") << 42 << QStringList();
    QTest::newRow("missing") << 2 << QStringList{"The User Guide is missing."};
    QTest::newRow("no viewer")
        << 31
        << QStringList{"There is no application associated with PDF files. You need to install "
                       "Adobe Reader to view the Guide."};
    QTest::newRow("access denied") << 5 << QStringList{"Could not launch User Guide: Error 5"};
    QTest::newRow("launch failed") << 0 << QStringList{"Could not launch User Guide: Error 0"};
    QTest::newRow("32 is success") << 32 << QStringList();
}

void TestAboutBox::guideLinkOpensTheUserGuide()
{
    QFETCH(int, result);
    QFETCH(QStringList, errors);
    QTemporaryDir install;
    QFile guide(install.filePath("Zorlane User Guide.pdf"));
    QVERIFY(guide.open(QIODevice::WriteOnly));
    guide.close();
    ScopedRecordingDialogs dialogs;
    ScopedRecordingDocumentOpener opener;
    opener.setResult(result);
    TAboutBox box;
    box.setInstallation(QString(), install.path() + QLatin1Char('/'));
    box.show();
    QTest::mouseClick(box.UserGuideLink, Qt::LeftButton);
    QCOMPARE(opener.opened(), QStringList{install.filePath("Zorlane User Guide.pdf")});
    QCOMPARE(dialogs.texts(), errors);
    for (const RecordingDialogs::Shown &shown : dialogs.shown())
        QCOMPARE(shown.buttons, QStringList{"Cancel"});
}

void TestAboutBox::okCloses()
{
    TAboutBox box;
    QTimer::singleShot(0, &box, [&box] {
        QVERIFY(box.isVisible());
        QTest::mouseClick(box.OkButton, Qt::LeftButton);
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QVERIFY(!box.isVisible());
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
