#include "FormFixture.h"
#include "TSetDimension.h"
#include "ToolTestTiff.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

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

QTEST_MAIN(TestImage)
#include "tst_image.moc"
