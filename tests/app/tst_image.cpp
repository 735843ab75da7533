#include "FormFixture.h"
#include "TSetDimension.h"
#include "ToolTestTiff.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

using namespace fixture;

namespace {

// Letter paper of the model saved as the choice, so the preview has a page to show.
struct WithPaper : Installation
{
    WithPaper()
    {
        touch(bin() + "Diridu.ini",
              "[Printer]\r\nPrintingModel=Zorl3800\r\n[Page]\r\nPageSize=Letter\r\n");
    }

    QString photo(const QString &name, uint32_t width, uint32_t height) const
    {
        ToolTiff tiff;
        tiff.width = width;
        tiff.height = height;
        tiff.rowsPerStrip = 64;
        tiff.xResolution = tiff.yResolution = 300;
        const QString path = root() + name;
        writeToolTiff(path, tiff, [](uint32_t x, uint32_t, int) { return x % 256; });
        return path;
    }
};

QStringList recentCaptions(const TDiriduForm &form)
{
    QStringList captions;
    bool after = false;
    for (QAction *action : form.ui.ImageMenu->actions()) {
        if (after && action->isVisible())
            captions.append(action->text());
        after = after || action == form.ui.FileListDivider;
    }
    return captions;
}

} // namespace

class TestImage : public QObject
{
    Q_OBJECT

private slots:
    void openedImageIsShownOnThePage();
    void cancelledOpenChangesNothing();
    void undecodableImageShowsThePlaceholder();
    void clearingReturnsToNoImage();
    void recentFilesMoveToTheFront();
    void vanishedRecentFileIsRemoved();
    void imageNameShownAsWritten();
    void noImageGivesNoWarnings_data();
    void noImageGivesNoWarnings();
    void newModelLaysOutItsOwnPaper();
};

void TestImage::openedImageIsShownOnThePage()
{
    WithPaper installation;
    const QString photo = installation.photo("portrait.tif", 1200, 1800); // 4 x 6 in
    Started started(installation);
    TDiriduForm &form = *started.form;
    started.dialogs.setNextFile(photo);
    form.ui.OpenFile->trigger();

    QCOMPARE(form.ImagePath, photo);
    QCOMPARE(form.ImageFolder, installation.root());
    QVERIFY(form.ImageFacts.Loaded);
    QCOMPARE(form.ImageFacts.Width, 1200);
    QVERIFY(form.ui.PrintBtn->isEnabled());
    QVERIFY(form.ui.PrintFile->isEnabled());
    QCOMPARE(form.ui.FilePrinting->text(), photo);
    // Letter portrait: the page is 102 x 132 pixels; the 4 x 6 in image, centred, is drawn
    // at its printed size in the middle of it.
    QCOMPARE(form.ui.ImageScreen->size(), QSize(102, 132));
    QFrame *frame = form.ui.PictureFrame;
    QVERIFY(frame->isVisible());
    const double pixelsPerInch = 102 / 8.5;
    QCOMPARE(frame->width(), qRound(4 * pixelsPerInch));
    QCOMPARE(frame->height(), qRound(6 * pixelsPerInch));
    QVERIFY(qAbs(frame->x() + frame->width() / 2 - 51) <= 3);
    QVERIFY(qAbs(frame->y() + frame->height() / 2 - 66) <= 3);
    QVERIFY(!form.ui.NowPrinting->pixmap().isNull());
    QVERIFY(form.SetDimension->isEnabled());
    QVERIFY(started.dialogs.texts().size() == 1); // the open dialog, nothing else
}

void TestImage::cancelledOpenChangesNothing()
{
    WithPaper installation;
    const QString photo = installation.photo("a.tif", 600, 600);
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ProbeImage(photo);
    const TImageFacts facts = form.ImageFacts;
    form.ui.OpenFile->trigger(); // no file prepared: the dialog is cancelled
    QCOMPARE(form.ImagePath, photo);
    QVERIFY(form.ImageFacts == facts);
}

void TestImage::undecodableImageShowsThePlaceholder()
{
    WithPaper installation;
    touch(installation.root() + "broken.tif", "II*\0garbage");
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ProbeImage(installation.root() + "broken.tif");
    QVERIFY(form.ImageFacts.Loaded);
    QCOMPARE(form.ImageFacts.Width, 0);
    QVERIFY(form.ui.PrintBtn->isEnabled());
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestImage::clearingReturnsToNoImage()
{
    WithPaper installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ProbeImage(installation.photo("b.tif", 300, 300));
    form.ClearImage();
    QVERIFY(form.ImagePath.isEmpty());
    QCOMPARE(form.ui.FilePrinting->text(), QStringLiteral("No Image selected"));
    QVERIFY(!form.ui.PrintBtn->isEnabled());
    QVERIFY(!form.ui.PictureFrame->isVisible());
    QVERIFY(!form.SetDimension->isEnabled());
    QVERIFY(form.ImageFacts == TImageFacts());
}

void TestImage::recentFilesMoveToTheFront()
{
    WithPaper installation;
    touch(installation.bin() + "Diridu.ini",
          "[Options]\r\nRecentFileCount=4\r\n[RecentFiles]\r\nFile1=A\r\nFile2=B\r\n"
          "File3=C\r\nFile4=D\r\n");
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.AddRecentFile("C");
    QCOMPARE(recentCaptions(form), QStringList({"&1 C", "&2 A", "&3 B", "&4 D"}));
    form.AddRecentFile("A");
    QCOMPARE(recentCaptions(form), QStringList({"&1 A", "&2 C", "&3 B", "&4 D"}));
    form.AddRecentFile("E");
    QCOMPARE(recentCaptions(form), QStringList({"&1 E", "&2 A", "&3 C", "&4 B"}));
    form.AddRecentFile("e");
    QCOMPARE(recentCaptions(form), QStringList({"&1 e", "&2 E", "&3 A", "&4 C"}));
}

void TestImage::vanishedRecentFileIsRemoved()
{
    WithPaper installation;
    const QString a = installation.photo("a.tif", 100, 100);
    const QString c = installation.photo("c.tif", 100, 100);
    const QString b = installation.root() + "b.tif";
    touch(installation.bin() + "Diridu.ini",
          QByteArray("[Options]\r\nRecentFileCount=3\r\n[RecentFiles]\r\nFile1=") +
              a.toUtf8() + "\r\nFile2=" + b.toUtf8() + "\r\nFile3=" + c.toUtf8() + "\r\n");
    Started started(installation);
    TDiriduForm &form = *started.form;
    QAction *placeB = nullptr;
    for (QAction *action : form.ui.ImageMenu->actions()) {
        if (action->text() == "&2 " + b)
            placeB = action;
    }
    QVERIFY(placeB);
    placeB->trigger();
    QCOMPARE(started.dialogs.texts(),
             QStringList{QStringLiteral("File \"%1\" no longer exists").arg(b)});
    QCOMPARE(recentCaptions(form), QStringList({"&1 " + a, "&2 " + c}));
}

void TestImage::imageNameShownAsWritten()
{
    WithPaper installation;
    const QString photo = installation.photo("<b>bold</b> & <i>x</i>.tif", 300, 300);
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ProbeImage(photo);
    QCOMPARE(form.ui.FilePrinting->textFormat(), Qt::PlainText);
    QCOMPARE(form.ui.FilePrinting->text(), photo);
}

void TestImage::noImageGivesNoWarnings_data()
{
    QTest::addColumn<bool>("centred");
    QTest::addColumn<int>("percent");
    QTest::newRow("centred, large scale") << true << 1600;
    QTest::newRow("by hand, large scale") << false << 1600;
    QTest::newRow("by hand, as designed") << false << 100;
}

// Without an image there is nothing that could not fit, whatever the scale and placement.
void TestImage::noImageGivesNoWarnings()
{
    QFETCH(bool, centred);
    QFETCH(int, percent);
    WithPaper installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    form.ui.PlaceCentered->setChecked(centred);
    if (!centred) {
        form.ui.LeftMargin->setText("8");
        QTest::keyClick(form.ui.LeftMargin, Qt::Key_Return);
        QCOMPARE(form.PageGeometry.LeftMarginValue, 8.0);
    }
    form.ui.CustomScale->setValue(percent);
    QVERIFY(!form.ImageFacts.Loaded);
    QVERIFY(!form.ui.WarningPanel->isVisible());
    QVERIFY(!form.ui.WarningsTabs->isVisible());

    // The same settings with an image that is too large do warn.
    form.ProbeImage(installation.photo("large.tif", 3000, 3000)); // 10 x 10 in at 100 %
    form.ui.CustomScale->setValue(percent == 100 ? 101 : percent - 1);
    QVERIFY(form.ui.WarningPanel->isVisible());
}

// A model whose paper list differs lays out its own paper, even at the position that the
// previous model's paper had.
void TestImage::newModelLaysOutItsOwnPaper()
{
    WithPaper installation;
    touch(installation.root() + "ppd/ZorlA4.ppd",
          "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n"
          "*PageSize A4/A4: \"\"\n*PageSize A3/A3: \"\"\n*CloseUI: *PageSize\n"
          "*PaperDimension A4/A4: \"595 842\"\n*PaperDimension A3/A3: \"842 1191\"\n"
          "*ImageableArea A4/A4: \"9 36 586 833\"\n*ImageableArea A3/A3: \"9 36 833 1182\"\n");
    Started started(installation);
    TDiriduForm &form = *started.form;
    QCOMPARE(form.ui.PaperSize->currentText(), QStringLiteral("Letter"));
    QCOMPARE(form.ui.ImageScreen->size(), QSize(102, 132));

    auto *models = started.find<QComboBox>("PrintingModelName");
    const int a4Model = models->findText("ZorlA4");
    models->setCurrentIndex(a4Model);
    emit models->activated(a4Model);
    QCOMPARE(form.ui.PaperSize->currentIndex(), 0);
    QCOMPARE(form.ui.PaperSize->currentText(), QStringLiteral("A4"));
    QCOMPARE(form.PageGeometry.PaperWidth, 595 / 72.0);
    // 132 pixels high, Round(132 x 595 / 842) = 93 wide.
    QCOMPARE(form.ui.ImageScreen->size(), QSize(93, 132));
    QVERIFY(started.dialogs.shown().isEmpty());
}

QTEST_MAIN(TestImage)
#include "tst_image.moc"
