#include "PreviewController.h"

#include "Beeper.h"
#include "DiriduFormUi.h"
#include "PageGeometryController.h"
#include "PreviewGeometry.h"
#include "RotatedLabel.h"
#include "TSetDimension.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>

namespace {

// The frame of an image that could not be decoded, as designed.
const QColor MoneyGreen(0xc0, 0xdc, 0xc0);


} // namespace

PreviewControls::PreviewControls(const DiriduFormUi &ui)
    : ImageScreen(ui.ImageScreen), PictureFrame(ui.PictureFrame), NowPrinting(ui.NowPrinting),
      NoImageBMP(ui.NoImageBMP), FeedLbl(ui.FeedLbl), UpArrow(ui.UpArrow), LeftArrow(ui.LeftArrow),
      WarningPanel(ui.WarningPanel), WarningsTabs(ui.WarningsTabs), CopiesBox(ui.CopiesBox),
      PrintBtn(ui.PrintBtn), PrinterBox(ui.PrinterBox), ImageBox(ui.ImageBox),
      OrientationBoxGroup(ui.OrientationBoxGroup), PlaceCentered(ui.PlaceCentered),
      ScaleToFit(ui.ScaleToFit), CustomScale(ui.CustomScale), TopMargin(ui.TopMargin),
      LeftMargin(ui.LeftMargin), PlaceUnitsLbl(ui.PlaceUnitsLbl), ResizeMenu(ui.ResizeMenu),
      SetHeightPopup(ui.SetHeightPopup), SetWidthPopup(ui.SetWidthPopup),
      ScaleToFitPopup(ui.ScaleToFitPopup)
{
}

PreviewController::PreviewController(TPageGeometry &geometry, const TImageFacts &facts,
                                     PageGeometryController &pageGeometry,
                                     const PreviewControls &controls, TSetDimension *setDimension,
                                     QObject *parent)
    : QObject(parent), m_geometry(geometry), m_facts(facts), m_pageGeometry(pageGeometry),
      m_ui(controls)
{
    MaxPreviewHeight = m_ui.ImageScreen->height();
    MaxPreviewWidth = m_ui.ImageScreen->width();
    connectControls();
    if (setDimension)
        setSetDimensionDialog(setDimension);
}

void PreviewController::connectControls()
{
    // Moves without a button pressed come too: they choose the cursor.
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui.PictureFrame), static_cast<QWidget *>(m_ui.NowPrinting)}) {
        widget->installEventFilter(this);
        widget->setMouseTracking(true);
    }
    connect(
        m_ui.PictureFrame, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &at) { m_ui.ResizeMenu->popup(m_ui.PictureFrame->mapToGlobal(at)); });
    connect(m_ui.SetHeightPopup, &QAction::triggered, this,
            &PreviewController::SetHeightPopupClick);
    connect(m_ui.SetWidthPopup, &QAction::triggered, this, &PreviewController::SetWidthPopupClick);
    connect(m_ui.ScaleToFitPopup, &QAction::triggered, this,
            &PreviewController::ScaleToFitPopupClick);
    connect(m_ui.WarningsTabs, &QTabBar::currentChanged, this,
            &PreviewController::WarningsTabsChange);
}

void PreviewController::setSetDimensionDialog(TSetDimension *dialog)
{
    m_setDimension = dialog;
    m_pageGeometry.setSetDimensionDialog(dialog);
}

bool PreviewController::landscapeSelected() const
{
    return m_ui.OrientationBoxGroup->checkedId() == 1;
}

bool PreviewController::marginsInMillimetres() const
{
    return m_ui.PlaceUnitsLbl->text() == QLatin1String("mm");
}

// The panel, the arrows and the feed label are placed in the coordinates of the panel's
// parent; the neighbours may sit deeper, inside layouts.
QRect PreviewController::rectInPreviewParent(const QWidget *widget) const
{
    const QWidget *reference = m_ui.ImageScreen->parentWidget();
    if (!reference || widget->parentWidget() == reference)
        return widget->geometry();
    const QPoint origin = reference->isAncestorOf(widget)
                              ? widget->mapTo(reference, QPoint(0, 0))
                              : reference->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
    return QRect(origin, widget->size());
}

void PreviewController::moveInPreviewParent(QWidget *widget, const QPoint &position) const
{
    QWidget *reference = m_ui.ImageScreen->parentWidget();
    QWidget *parent = widget->parentWidget();
    if (!reference || !parent || parent == reference) {
        widget->move(position);
        return;
    }
    widget->move(parent->mapFromGlobal(reference->mapToGlobal(position)));
}

void PreviewController::PreviewLayout()
{
    if (!previewPaperApplied(m_geometry))
        return;
    const bool landscape = landscapeSelected();
    // The label sizes itself to its turned text, so it is turned before anything is measured.
    m_ui.FeedLbl->setAngle(feedLabelAngle(landscape));

    TPreviewPlacementInput input;
    input.PaperWidth = m_geometry.PaperWidth;
    input.PaperLength = m_geometry.PaperLength;
    input.Landscape = landscape;
    input.MaxPreviewWidth = MaxPreviewWidth;
    input.MaxPreviewHeight = MaxPreviewHeight;
    input.FeedLabel = m_ui.FeedLbl->size();
    input.UpArrow = m_ui.UpArrow->size();
    input.CopiesBox = rectInPreviewParent(m_ui.CopiesBox);
    input.PrintBtn = rectInPreviewParent(m_ui.PrintBtn);
    input.PrinterBox = rectInPreviewParent(m_ui.PrinterBox);
    input.ImageBox = rectInPreviewParent(m_ui.ImageBox);
    const TPreviewPlacement placement = previewPlacement(input);

    m_ui.ImageScreen->setGeometry(placement.Screen);
    QLabel *arrow = placement.UpArrowShown ? m_ui.UpArrow : m_ui.LeftArrow;
    QLabel *otherArrow = placement.UpArrowShown ? m_ui.LeftArrow : m_ui.UpArrow;
    otherArrow->hide();
    moveInPreviewParent(arrow, placement.Arrow);
    arrow->show();
    moveInPreviewParent(m_ui.FeedLbl, placement.FeedLabel);
    m_ui.FeedLbl->show();

    setHint(m_ui.ImageScreen, previewPaperHint(m_geometry, m_pageGeometry.isCustomPaperSelected(),
                                               m_pageGeometry.displayInMillimetres(), landscape,
                                               m_pageGeometry.decimalPoint()));

    m_ui.PictureFrame->resize(placement.Frame);
    m_pageGeometry.LayoutPass(false);
}

QPoint PreviewController::framePosition(QWidget *receiver, QMouseEvent *event) const
{
    const QPoint at = event->position().toPoint();
    if (receiver == m_ui.PictureFrame)
        return at;
    return receiver->mapTo(m_ui.PictureFrame, at);
}

void PreviewController::NowPrintingMouseDown(QWidget *receiver, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_ui.WarningPanel->hide();
    m_ui.WarningsTabs->hide();
    m_dragStart = framePosition(receiver, event);
    // Placing by hand ends centring; the page geometry then also ends scale-to-fit.
    if (m_ui.PlaceCentered->isChecked())
        m_ui.PlaceCentered->setChecked(false);
}

void PreviewController::NowPrintingMouseMove(QWidget *receiver, QMouseEvent *event)
{
    QFrame *frame = m_ui.PictureFrame;
    if (!m_facts.Loaded) {
        frame->setCursor(Qt::ArrowCursor);
        return;
    }
    frame->setCursor(Qt::PointingHandCursor);
    if (!(event->buttons() & Qt::LeftButton))
        return;

    const QPoint at = framePosition(receiver, event);
    frame->move(frame->x() + at.x() - m_dragStart.x(), frame->y() + at.y() - m_dragStart.y());

    // The margins follow the frame unchecked; the release validates them. The frame sits
    // inside the panel's border, which the layout pass adds back: leaving it out here keeps
    // the image where it was dropped instead of creeping by the border on every release.
    const std::optional<double> top = previewPixelsToInches(
        frame->y() - PreviewPanelBorder, m_ui.ImageScreen->height(), m_geometry.PaperLength);
    const std::optional<double> left = previewPixelsToInches(
        frame->x() - PreviewPanelBorder, m_ui.ImageScreen->width(), m_geometry.PaperWidth);
    if (!top || !left)
        return;
    const bool millimetres = marginsInMillimetres();
    m_geometry.TopMarginValue = toDisplayUnit(*top, millimetres);
    m_geometry.LeftMarginValue = toDisplayUnit(*left, millimetres);
    m_ui.TopMargin->setText(m_pageGeometry.numberText(m_geometry.TopMarginValue));
    m_ui.LeftMargin->setText(m_pageGeometry.numberText(m_geometry.LeftMarginValue));
}

void PreviewController::NowPrintingMouseUp(QWidget *, QMouseEvent *)
{
    m_pageGeometry.TopMarginExit();
    m_pageGeometry.LeftMarginExit();
    m_pageGeometry.LayoutPass(false);
}

bool PreviewController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_ui.PictureFrame && watched != m_ui.NowPrinting)
        return QObject::eventFilter(watched, event);
    auto *receiver = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double click
        NowPrintingMouseDown(receiver, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseMove:
        NowPrintingMouseMove(receiver, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        NowPrintingMouseUp(receiver, static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::Enter:
        m_ui.PictureFrame->setCursor(m_facts.Loaded ? Qt::PointingHandCursor : Qt::ArrowCursor);
        break;
    case QEvent::ContextMenu:
        // The picture's own menu is the frame's.
        if (watched == m_ui.NowPrinting) {
            m_ui.ResizeMenu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
            return true;
        }
        break;
    case QEvent::Resize:
        if (watched == m_ui.NowPrinting)
            fitPicture();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PreviewController::SetHeightPopupClick()
{
    setDimension(true);
}

void PreviewController::SetWidthPopupClick()
{
    setDimension(false);
}

void PreviewController::setDimension(bool height)
{
    TSetDimension *dialog = m_setDimension;
    // Enabled by the layout pass while an image is laid out.
    if (!dialog || !dialog->isEnabled())
        return;
    dialog->DimensionLbl->setText(height ? QStringLiteral("Height") : QStringLiteral("Width"));
    const TDimensionPrompt prompt =
        dimensionPrompt(m_facts, validateImageFacts(m_facts), m_geometry, height);
    dialog->UnitsLbl->setText(prompt.UnitText);
    dialog->Dimension->setText(m_pageGeometry.numberText(prompt.Shown));
    dialog->exec();
    if (dialog->Cancelled)
        return;

    std::optional<int> percent;
    if (const std::optional<double> typed = m_pageGeometry.readNumber(dialog->Dimension->text()))
        percent = scaleForDimension(*typed, prompt.Natural);
    if (!percent) {
        ErrorBeep();
        return;
    }
    m_ui.ScaleToFit->setChecked(false);
    m_ui.CustomScale->setValue(*percent);
    m_pageGeometry.LayoutPass(false);
}

void PreviewController::ScaleToFitPopupClick()
{
    m_ui.ScaleToFit->setChecked(true);
}

void PreviewController::WarningsTabsChange(int index)
{
    m_pageGeometry.showWarning(index);
}

void PreviewController::showPicture(const QImage &image)
{
    showOnFrame(image, Qt::white);
}

void PreviewController::showPlaceholder()
{
    showOnFrame(m_ui.NoImageBMP->pixmap().toImage(), MoneyGreen);
}

void PreviewController::clearPicture()
{
    m_previewImage = QImage();
    m_ui.NowPrinting->clear();
}

void PreviewController::showOnFrame(const QImage &image, const QColor &frameColour)
{
    QPalette palette = m_ui.PictureFrame->palette();
    palette.setColor(QPalette::Window, frameColour);
    m_ui.PictureFrame->setPalette(palette);
    m_ui.PictureFrame->setAutoFillBackground(true);
    m_previewImage = image;
    fitPicture();
}

// Drawn afresh for every size of the frame, so the picture stays sharp; the label centres it.
void PreviewController::fitPicture()
{
    QLabel *label = m_ui.NowPrinting;
    if (m_previewImage.isNull() || label->width() <= 0 || label->height() <= 0) {
        label->clear();
        return;
    }
    const qreal ratio = label->devicePixelRatioF();
    const QSize target = (QSizeF(label->size()) * ratio).toSize();
    QPixmap pixmap = QPixmap::fromImage(
        m_previewImage.scaled(target, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
}
