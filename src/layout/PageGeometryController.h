#pragma once

#include "PageGeometry.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTabBar;
class QWidget;
struct DiriduFormUi;
struct TPrintingModel;

// The main window's controls that the page geometry reads and drives.
struct PageGeometryControls
{
    QComboBox *PaperSize = nullptr;
    QButtonGroup *UnitsBoxGroup = nullptr;       // ids 0 "in ", 1 "mm "
    QButtonGroup *OrientationBoxGroup = nullptr; // ids 0 "Portrait ", 1 "Landscape "
    QLineEdit *CustomWidth = nullptr;
    QLineEdit *CustomLength = nullptr;
    QLabel *WidthLBL = nullptr;
    QLabel *LengthLBL = nullptr;
    QComboBox *PaperFeed = nullptr;
    QGroupBox *PlacementBox = nullptr;
    QCheckBox *PlaceCentered = nullptr;
    QLineEdit *TopMargin = nullptr;
    QLineEdit *LeftMargin = nullptr;
    QLabel *TopLBL = nullptr;
    QLabel *LeftLBL = nullptr;
    QLabel *PlaceUnitsLbl = nullptr;
    QCheckBox *ScaleToFit = nullptr;
    QSpinBox *CustomScale = nullptr;
    QLabel *percentLbl = nullptr;
    QAction *AutoOrient = nullptr;
    QFrame *ImageScreen = nullptr;
    QFrame *PictureFrame = nullptr;
    QLabel *NowPrinting = nullptr;
    QFrame *WarningPanel = nullptr;
    QLabel *WarningMessage = nullptr;
    QTabBar *WarningsTabs = nullptr;
    // The set-dimension dialog, enabled once an image is laid out; it may come later
    // (PageGeometryController::setSetDimensionDialog).
    QWidget *SetDimension = nullptr;

    PageGeometryControls() = default;
    explicit PageGeometryControls(const DiriduFormUi &ui);
};

// The page geometry of the main window: applies paper sizes, display units, orientation,
// custom sizes, margins, centring and scale, and runs the layout pass that sizes and places
// the image and lists its warnings.
//
// The handlers are connected to the controls' own signals: PaperSize's activated, the radio
// groups and check boxes whenever their state actually changes (by the user or the program),
// CustomScale's value, AutoOrient's trigger and the paper feed box's user changes. The exit
// handlers of the four edits are not connected here: the window runs them when focus leaves
// an edit or Enter is pressed in it (exitHandlers()) and from CommitFocusedField.
//
// Handlers call each other through programmatic changes (a paper size selects orientation
// and unit, a fit percentage sets the scale, which lays out again); each completes before
// control returns to the one that set it off, and a nested layout pass never asks.
class PageGeometryController : public QObject
{
    Q_OBJECT

public:
    PageGeometryController(TPageGeometry &geometry, const TPrintingModel &model,
                           const TImageFacts &facts, const PageGeometryControls &controls,
                           QObject *parent = nullptr);

    // The decimal separator numbers are shown and read with; the system's by default.
    QString decimalPoint() const { return m_decimalPoint; }
    void setDecimalPoint(const QString &decimalPoint);
    // A number in the general form with that separator, and back.
    QString numberText(double value) const;
    std::optional<double> readNumber(const QString &text) const;

    void setSetDimensionDialog(QWidget *dialog);

    // The four edits and their exit handlers, for the window's shared focus-out and Enter
    // handling and for CommitFocusedField.
    using ExitHandler = std::function<void()>;
    QList<QPair<QLineEdit *, ExitHandler>> exitHandlers();

    // Whether the selected paper size is the model's custom size.
    bool isCustomPaperSelected() const;
    // Whether UnitsBox shows millimetres.
    bool displayInMillimetres() const;

    // The image warnings of the last layout pass, in tab order.
    QStringList WarningList;

    // Handlers of the controls.
    void PaperSizeCloseUp();
    void UnitsBoxClick();
    void OrientationBoxClick();
    void CustomWidthExit();
    void CustomLengthExit();
    void TopMarginExit();
    void LeftMarginExit();
    void PlaceCenteredClick();
    void ScaleToFitClick();
    void CustomScaleChange();
    void AutoOrientClick();
    void PaperFeedChange();

    // The orientation change: turns the paper for OrientationBox's item, re-validates the
    // margins and lays the preview out again.
    void RotateGeometry();

    // Recomputes scale, placement, the image's frame and the warnings; with ask, questions
    // the user when there are warnings. False only when the user declined printing.
    bool LayoutPass(bool ask);

    // The auto-orientation of a newly probed image: when AutoOrient is checked and the image
    // lies across the paper, OrientationBox goes to the other item (the change runs).
    void applyAutoOrientation();

    // Shows the warning at a tab position in WarningMessage, centred in WarningPanel.
    void showWarning(int index);

signals:
    // The preview is to be laid out again for the paper and orientation; it ends with
    // LayoutPass(false).
    void previewLayoutRequested();

private:
    void connectControls();
    void selectUnits(int item);
    void selectOrientation(int item);
    void setCustomEditsEnabled(bool enabled);
    void setPlacementEditsEnabled(bool enabled);
    void showMargins();
    void customDimensionExit(bool width);
    void marginExit(bool top);
    bool marginsInMillimetres() const;
    void showWarnings();

    TPageGeometry &m_geometry;
    const TPrintingModel &m_model;
    const TImageFacts &m_facts;
    PageGeometryControls m_ui;
    QString m_decimalPoint;
    int m_layoutDepth = 0;
};

// Selects item of a radio group, running its handlers when that changes it; an item the
// group does not have clears the selection, which runs none.
void selectRadioItem(QButtonGroup *group, int item);
