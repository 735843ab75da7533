#pragma once

#include "PageGeometry.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>

class PageGeometryController;
class QAction;
class QButtonGroup;
class QCheckBox;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QSpinBox;
class QTabBar;
class QWidget;
class RotatedLabel;
class TSetDimension;
struct DiriduFormUi;

// The main window's controls that the page preview lays out and listens to.
struct PreviewControls
{
    QFrame *ImageScreen = nullptr;
    QFrame *PictureFrame = nullptr;
    QLabel *NowPrinting = nullptr;
    QLabel *NoImageBMP = nullptr;
    RotatedLabel *FeedLbl = nullptr;
    QLabel *UpArrow = nullptr;
    QLabel *LeftArrow = nullptr;
    QFrame *WarningPanel = nullptr;
    QTabBar *WarningsTabs = nullptr;
    // The neighbours the panel is centred between.
    QWidget *CopiesBox = nullptr;
    QWidget *PrintBtn = nullptr;
    QWidget *PrinterBox = nullptr;
    QWidget *ImageBox = nullptr;
    QButtonGroup *OrientationBoxGroup = nullptr; // ids 0 "Portrait ", 1 "Landscape "
    QCheckBox *PlaceCentered = nullptr;
    QCheckBox *ScaleToFit = nullptr;
    QSpinBox *CustomScale = nullptr;
    QLineEdit *TopMargin = nullptr;
    QLineEdit *LeftMargin = nullptr;
    QLabel *PlaceUnitsLbl = nullptr; // "in" or "mm": the unit the margins are held in
    QMenu *ResizeMenu = nullptr;
    QAction *SetHeightPopup = nullptr;
    QAction *SetWidthPopup = nullptr;
    QAction *ScaleToFitPopup = nullptr;

    PreviewControls() = default;
    explicit PreviewControls(const DiriduFormUi &ui);
};

// The page preview of the main window: a panel with the paper's proportions beside the feed
// arrow and its label, the image's frame on it, dragging the frame with the left button to
// place the image, and the right-click menu that sets the printed height or width or turns
// scale-to-fit on. The numbers behind it (paper, margins, printed size, warnings) are the
// page geometry's; this lays out and translates the mouse.
//
// Connected at construction: the mouse on PictureFrame and NowPrinting (an event filter on
// both), PictureFrame's context menu (a right click on NowPrinting reaches it too), the three
// items of ResizeMenu, and WarningsTabs' current tab. PreviewLayout is not connected here: the
// window connects PageGeometryController::previewLayoutRequested to it.
class PreviewController : public QObject
{
    Q_OBJECT

public:
    // Records the panel's designed size as the largest preview; construct it before anything is
    // laid out. The dialog may come later (setSetDimensionDialog).
    PreviewController(TPageGeometry &geometry, const TImageFacts &facts,
                      PageGeometryController &pageGeometry, const PreviewControls &controls,
                      TSetDimension *setDimension = nullptr, QObject *parent = nullptr);

    // The set-dimension dialog; it is handed on to the page geometry, whose layout pass enables
    // it once an image is laid out.
    void setSetDimensionDialog(TSetDimension *dialog);
    TSetDimension *setDimensionDialog() const { return m_setDimension; }

    int MaxPreviewHeight = 0;
    int MaxPreviewWidth = 0;

    // Lays the panel out for the paper and orientation, then runs the layout pass.
    void PreviewLayout();

    // Dragging: the events as they reach PictureFrame or NowPrinting; the position is the
    // mouse's in the widget that received it.
    void NowPrintingMouseDown(QWidget *receiver, QMouseEvent *event);
    void NowPrintingMouseMove(QWidget *receiver, QMouseEvent *event);
    void NowPrintingMouseUp(QWidget *receiver, QMouseEvent *event);

    // ResizeMenu's items.
    void SetHeightPopupClick();
    void SetWidthPopupClick();
    void ScaleToFitPopupClick();

    void WarningsTabsChange(int index);

    // The decoded preview in NowPrinting, stretched to the frame with its proportions kept and
    // centred; the frame turns white. The placeholder of an image that could not be decoded
    // goes on the designed pale green instead. Clearing leaves NowPrinting empty.
    void showPicture(const QImage &image);
    void showPlaceholder();
    void clearPicture();
    QImage picture() const { return m_previewImage; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectControls();
    void setDimension(bool height);
    bool landscapeSelected() const;
    bool marginsInMillimetres() const;
    void showOnFrame(const QImage &image, const QColor &frameColour);
    void fitPicture();
    QRect rectInPreviewParent(const QWidget *widget) const;
    void moveInPreviewParent(QWidget *widget, const QPoint &position) const;
    QPoint framePosition(QWidget *receiver, QMouseEvent *event) const;

    TPageGeometry &m_geometry;
    const TImageFacts &m_facts;
    PageGeometryController &m_pageGeometry;
    PreviewControls m_ui;
    QPointer<TSetDimension> m_setDimension;
    QImage m_previewImage;
    // The mouse at the last left-button press, in the frame's coordinates.
    QPoint m_dragStart;
};
