// The current image: choosing it, probing it for its facts and preview, clearing it, and
// the recent-file places of the "&Image" menu.
#include "TDiriduForm.h"

#include "Dialogs.h"
#include "InstallPaths.h"
#include "PageGeometryController.h"
#include "PathCaption.h"
#include "PreviewController.h"
#include "TSetDimension.h"
#include "TiffDecoder.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>

namespace {

// The designed width of the image path label.
constexpr int kPathCaptionWidth = 418;

} // namespace

void TDiriduForm::OpenFileClick()
{
    const QString path = Dialogs::instance().openFileName(
        QStringLiteral("Open TIFF image"), ImageFolder,
        QStringLiteral("TIFF (*.tif *.tiff *.TIF *.TIFF)"));
    if (path.isEmpty())
        return;
    ImagePath = path;
    ImageFolder = folderOf(path);
    AddRecentFile(path);
    ProbeImage(path);
    m_geometry->LayoutPass(false);
}

void TDiriduForm::ProbeImage(const QString &path)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    ui.NoImageBMP->hide();
    const QFontMetrics metrics(ui.FilePrinting->font());
    ui.FilePrinting->setText(ShortenPathCaption(
        path, kPathCaptionWidth,
        [&metrics](const QString &caption) { return metrics.horizontalAdvance(caption); }));
    ImagePath = path;
    ui.FilePrinting->setEnabled(true);
    ui.PrintFile->setEnabled(true);
    ui.PrintBtn->setEnabled(true);
    m_preview->clearPicture();
    ImageFacts.Loaded = true;

    // About twice the panel's size, so the picture stays sharp on high-density screens.
    const TTiffDecodeResult decoded = decodeTiff(path, MaxPreviewSize * 2);
    if (decoded.ok)
        m_preview->showPicture(decoded.preview);
    else
        m_preview->showPlaceholder();
    ImageFacts = decoded.facts;
    ImageFacts.Loaded = true;
    m_geometry->applyAutoOrientation();
}

void TDiriduForm::ClearImage()
{
    ui.FilePrinting->setText(QStringLiteral("No Image selected"));
    ImagePath.clear();
    ui.FilePrinting->setEnabled(false);
    ui.PrintBtn->setEnabled(false);
    m_preview->clearPicture();
    ui.PictureFrame->hide();
    ui.WarningPanel->hide();
    ui.WarningsTabs->hide();
    if (SetDimension)
        SetDimension->setEnabled(false);
    ImageFacts = TImageFacts();
}

void TDiriduForm::AddRecentFile(const QString &path)
{
    const int places = int(m_recentPlaces.size());
    if (places == 0)
        return;
    QString carried = recentFile(1);
    for (int k = 2; k <= places; ++k) {
        if (carried == path)
            break;
        const QString next = recentFile(k);
        setRecentFile(k, carried);
        carried = next;
    }
    setRecentFile(1, path);
}

void TDiriduForm::RecentFileClick(QAction *place)
{
    const int clicked = int(m_recentPlaces.indexOf(place)) + 1;
    const QString path = recentFile(clicked);
    if (QFileInfo::exists(path)) {
        ImagePath = path;
        AddRecentFile(path);
        ProbeImage(path);
        m_geometry->LayoutPass(false);
        return;
    }
    Dialogs::instance().error(QStringLiteral("File \"%1\" no longer exists").arg(path),
                              Dialogs::Button::Ok);
    // The entries behind the vanished one move up a place; the last place becomes empty.
    QString carried;
    for (int k = int(m_recentPlaces.size()); k >= 1; --k) {
        const QString current = recentFile(k);
        setRecentFile(k, carried);
        if (current == path) {
            if (path == ImagePath)
                ClearImage();
            return;
        }
        carried = current;
    }
}
