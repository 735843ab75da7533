#include "PageGeometryController.h"

#include "ApplicationTitle.h"
#include "Beeper.h"
#include "Dialogs.h"
#include "DiriduFormUi.h"
#include "IniFile.h"
#include "TPrintingModel.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QTabBar>

namespace {


// The control's own enabled state, whatever its parents' state.
bool isOwnEnabled(const QWidget *widget)
{
    return widget->isEnabledTo(widget->parentWidget());
}

const QString Millimetres = QStringLiteral("mm");
const QString Inches = QStringLiteral("in");

} // namespace

PageGeometryControls::PageGeometryControls(const DiriduFormUi &ui)
    : PaperSize(ui.PaperSize), UnitsBoxGroup(ui.UnitsBoxGroup),
      OrientationBoxGroup(ui.OrientationBoxGroup), CustomWidth(ui.CustomWidth),
      CustomLength(ui.CustomLength), WidthLBL(ui.WidthLBL), LengthLBL(ui.LengthLBL),
      PaperFeed(ui.PaperFeed), PlacementBox(ui.PlacementBox), PlaceCentered(ui.PlaceCentered),
      TopMargin(ui.TopMargin), LeftMargin(ui.LeftMargin), TopLBL(ui.TopLBL), LeftLBL(ui.LeftLBL),
      PlaceUnitsLbl(ui.PlaceUnitsLbl), ScaleToFit(ui.ScaleToFit), CustomScale(ui.CustomScale),
      percentLbl(ui.percentLbl), AutoOrient(ui.AutoOrient), ImageScreen(ui.ImageScreen),
      PictureFrame(ui.PictureFrame), NowPrinting(ui.NowPrinting), WarningPanel(ui.WarningPanel),
      WarningMessage(ui.WarningMessage), WarningsTabs(ui.WarningsTabs)
{
}

PageGeometryController::PageGeometryController(TPageGeometry &geometry, const TPrintingModel &model,
                                               const TImageFacts &facts,
                                               const PageGeometryControls &controls,
                                               QObject *parent)
    : QObject(parent), m_geometry(geometry), m_model(model), m_facts(facts), m_ui(controls),
      m_decimalPoint(QLocale::system().decimalPoint())
{
    connectControls();
}

void PageGeometryController::connectControls()
{
    connect(m_ui.PaperSize, &QComboBox::activated, this, &PageGeometryController::PaperSizeCloseUp);
    // Only the button that becomes checked reports: one run per change of the selection.
    connect(m_ui.UnitsBoxGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            UnitsBoxClick();
    });
    connect(m_ui.OrientationBoxGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            OrientationBoxClick();
    });
    connect(m_ui.PlaceCentered, &QCheckBox::toggled, this,
            &PageGeometryController::PlaceCenteredClick);
    connect(m_ui.ScaleToFit, &QCheckBox::toggled, this, &PageGeometryController::ScaleToFitClick);
    connect(m_ui.CustomScale, &QSpinBox::valueChanged, this,
            &PageGeometryController::CustomScaleChange);
    connect(m_ui.AutoOrient, &QAction::triggered, this, &PageGeometryController::AutoOrientClick);
    // The user's changes of the paper feed; a selection made by the program does not count.
    connect(m_ui.PaperFeed, &QComboBox::activated, this, &PageGeometryController::PaperFeedChange);
    if (QLineEdit *edit = m_ui.PaperFeed->lineEdit())
        connect(edit, &QLineEdit::textEdited, this, &PageGeometryController::PaperFeedChange);
}

void PageGeometryController::setDecimalPoint(const QString &decimalPoint)
{
    m_decimalPoint = decimalPoint;
}

QString PageGeometryController::numberText(double value) const
{
    return IniValue::fromReal(value, m_decimalPoint);
}

std::optional<double> PageGeometryController::readNumber(const QString &text) const
{
    return IniValue::toReal(text, m_decimalPoint);
}

void PageGeometryController::setSetDimensionDialog(QWidget *dialog)
{
    m_ui.SetDimension = dialog;
}

QList<QPair<QLineEdit *, PageGeometryController::ExitHandler>>
PageGeometryController::exitHandlers()
{
    return {
        {m_ui.CustomWidth, [this] { CustomWidthExit(); }},
        {m_ui.CustomLength, [this] { CustomLengthExit(); }},
        {m_ui.TopMargin, [this] { TopMarginExit(); }},
        {m_ui.LeftMargin, [this] { LeftMarginExit(); }},
    };
}

bool PageGeometryController::isCustomPaperSelected() const
{
    const int count = m_ui.PaperSize->count();
    return m_model.CustomPageSize && count > 0 && m_ui.PaperSize->currentIndex() == count - 1;
}

bool PageGeometryController::displayInMillimetres() const
{
    return m_ui.UnitsBoxGroup->checkedId() == 1;
}

// The margins are held in the unit the placement label names.
bool PageGeometryController::marginsInMillimetres() const
{
    return m_ui.PlaceUnitsLbl->text() == Millimetres;
}

void PageGeometryController::selectUnits(int item)
{
    if (QAbstractButton *button = m_ui.UnitsBoxGroup->button(item))
        button->setChecked(true);
}

void PageGeometryController::selectOrientation(int item)
{
    selectRadioItem(m_ui.OrientationBoxGroup, item);
}

void selectRadioItem(QButtonGroup *group, int item)
{
    if (QAbstractButton *button = group->button(item)) {
        button->setChecked(true);
        return;
    }
    if (QAbstractButton *checked = group->checkedButton()) {
        group->setExclusive(false);
        checked->setChecked(false);
        group->setExclusive(true);
    }
}

void PageGeometryController::setCustomEditsEnabled(bool enabled)
{
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui.WidthLBL), static_cast<QWidget *>(m_ui.LengthLBL),
          static_cast<QWidget *>(m_ui.CustomWidth), static_cast<QWidget *>(m_ui.CustomLength)})
        widget->setEnabled(enabled);
}

void PageGeometryController::setPlacementEditsEnabled(bool enabled)
{
    for (QWidget *widget :
         {static_cast<QWidget *>(m_ui.TopLBL), static_cast<QWidget *>(m_ui.LeftLBL),
          static_cast<QWidget *>(m_ui.PlaceUnitsLbl), static_cast<QWidget *>(m_ui.TopMargin),
          static_cast<QWidget *>(m_ui.LeftMargin)})
        widget->setEnabled(enabled);
}

void PageGeometryController::showMargins()
{
    m_ui.TopMargin->setText(numberText(m_geometry.TopMarginValue));
    m_ui.LeftMargin->setText(numberText(m_geometry.LeftMarginValue));
}

void PageGeometryController::PaperSizeCloseUp()
{
    TPageGeometry &g = m_geometry;
    const int index = m_ui.PaperSize->currentIndex();
    if (index < 0)
        return;

    // The previous paper goes back to portrait before the new one is applied.
    int orientation = m_ui.OrientationBoxGroup->checkedId();
    selectOrientation(0);

    if (isCustomPaperSelected()) {
        const double width = g.CustomWidthValue;
        const double length = g.CustomLengthValue;
        setCustomEditsEnabled(true);
        selectUnits(g.CustomUnit);
        // With the held values zero, both exits apply the saved size whatever it is.
        g.CustomWidthValue = 0;
        g.CustomLengthValue = 0;
        m_ui.CustomWidth->setText(numberText(width));
        m_ui.CustomLength->setText(numberText(length));
        CustomWidthExit();
        CustomLengthExit();
        g.MinTop = m_model.HWMargins.top;
        g.MinBottom = m_model.HWMargins.bottom;
        g.MinLeft = m_model.HWMargins.left;
        g.MinRight = m_model.HWMargins.right;
        orientation = 0;
    } else {
        setCustomEditsEnabled(false);
        m_ui.CustomWidth->clear();
        m_ui.CustomLength->clear();
        applyModelPaper(g, m_model.PaperDimensions.value(index),
                        m_model.ImageableAreas.value(index), m_model.HWMargins);
        const bool metric = isMetricPageSize(m_model.PageSizeValues.value(index));
        selectUnits(metric ? 1 : 0);
        setHint(m_ui.PaperSize,
                modelPaperHint(g.PaperWidth, g.PaperLength, metric, m_decimalPoint));
        // A paper the model defines wider than long is landscape already: show it so,
        // rather than a Portrait that does not match the paper.
        if (g.OrientationState == 1)
            orientation = 1;
    }

    selectOrientation(orientation);
    UnitsBoxClick();
    TopMarginExit();
    LeftMarginExit();
    if (index != g.LastPaperIndex)
        emit previewLayoutRequested();
    g.LastPaperIndex = index;
}

void PageGeometryController::UnitsBoxClick()
{
    TPageGeometry &g = m_geometry;
    const int item = m_ui.UnitsBoxGroup->checkedId();
    const bool custom = isCustomPaperSelected();
    if (custom)
        g.CustomUnit = item;

    bool toMillimetres;
    if (item == 1 && m_ui.PlaceUnitsLbl->text() != Millimetres)
        toMillimetres = true;
    else if (item == 0 && m_ui.PlaceUnitsLbl->text() != Inches)
        toMillimetres = false;
    else
        return;

    const QString &unit = toMillimetres ? Millimetres : Inches;
    setHint(m_ui.PlacementBox, toMillimetres ? MillimetrePlacementHint : InchPlacementHint);
    m_ui.PlaceUnitsLbl->setText(unit);
    g.TopMarginValue = convertDisplayValue(g.TopMarginValue, toMillimetres);
    g.LeftMarginValue = convertDisplayValue(g.LeftMarginValue, toMillimetres);
    showMargins();

    QString paperHint;
    if (custom) {
        g.CustomWidthValue = convertDisplayValue(g.CustomWidthValue, toMillimetres);
        g.CustomLengthValue = convertDisplayValue(g.CustomLengthValue, toMillimetres);
        m_ui.CustomWidth->setText(numberText(g.CustomWidthValue));
        m_ui.CustomLength->setText(numberText(g.CustomLengthValue));
        paperHint = dimensionsText(g.CustomWidthValue, g.CustomLengthValue, unit, m_decimalPoint);
    } else if (toMillimetres) {
        paperHint = dimensionsText(Round1(g.PaperWidth * MmPerInch),
                                   Round1(g.PaperLength * MmPerInch), unit, m_decimalPoint);
    } else {
        paperHint =
            dimensionsText(Round3(g.PaperWidth), Round3(g.PaperLength), unit, m_decimalPoint);
    }
    setHint(m_ui.PaperSize, paperHint);
    setHint(m_ui.ImageScreen, paperHint);
}

void PageGeometryController::OrientationBoxClick()
{
    RotateGeometry();
}

void PageGeometryController::RotateGeometry()
{
    if (!rotateGeometry(m_geometry, m_ui.OrientationBoxGroup->checkedId()))
        return;
    TopMarginExit();
    LeftMarginExit();
    emit previewLayoutRequested();
}

void PageGeometryController::CustomWidthExit()
{
    customDimensionExit(true);
}

void PageGeometryController::CustomLengthExit()
{
    customDimensionExit(false);
}

void PageGeometryController::customDimensionExit(bool width)
{
    TPageGeometry &g = m_geometry;
    QLineEdit *edit = width ? m_ui.CustomWidth : m_ui.CustomLength;
    // The edits take part only while the custom size is applied.
    if (!isOwnEnabled(edit))
        return;
    double &held = width ? g.CustomWidthValue : g.CustomLengthValue;
    const double old = held;
    double number = old;
    if (const std::optional<double> typed = readNumber(edit->text()))
        number = *typed;
    else
        ErrorBeep();

    const bool millimetres = displayInMillimetres();
    const TCustomDimension dimension =
        width ? clampCustomDimension(number, millimetres, m_model.MinMediaWidth,
                                     m_model.MaxMediaWidth)
              : clampCustomDimension(number, millimetres, m_model.MinMediaLength,
                                     m_model.MaxMediaLength);
    held = dimension.Value;
    edit->setText(numberText(held));
    setHint(m_ui.PaperSize, dimensionsText(g.CustomWidthValue, g.CustomLengthValue,
                                           millimetres ? Millimetres : Inches, m_decimalPoint));

    if (held == old)
        return;
    // The custom size is held portrait.
    selectOrientation(0);
    if (width)
        g.PaperWidth = dimension.Inches;
    else
        g.PaperLength = dimension.Inches;
    emit previewLayoutRequested();
    if (width)
        LeftMarginExit();
    else
        TopMarginExit();
}

void PageGeometryController::TopMarginExit()
{
    marginExit(true);
}

void PageGeometryController::LeftMarginExit()
{
    marginExit(false);
}

void PageGeometryController::marginExit(bool top)
{
    TPageGeometry &g = m_geometry;
    QLineEdit *edit = top ? m_ui.TopMargin : m_ui.LeftMargin;
    double &held = top ? g.TopMarginValue : g.LeftMarginValue;
    const double old = held;
    const bool editable = isOwnEnabled(edit);
    double value = old;
    if (editable) {
        if (const std::optional<double> typed = readNumber(edit->text()))
            value = *typed;
        else
            ErrorBeep();
    }
    const bool millimetres = marginsInMillimetres();
    held = top ? validatedMargin(value, millimetres, g.MinTop, g.MinBottom, g.PaperLength)
               : validatedMargin(value, millimetres, g.MinLeft, g.MinRight, g.PaperWidth);
    if (editable)
        edit->setText(numberText(held));
    if (held != old)
        LayoutPass(false);
}

void PageGeometryController::PlaceCenteredClick()
{
    if (m_ui.PlaceCentered->isChecked()) {
        setPlacementEditsEnabled(false);
        LayoutPass(false);
        return;
    }
    setPlacementEditsEnabled(true);
    showMargins();
    // A fitted image is always centred, so placing it by hand ends the fit.
    if (m_ui.ScaleToFit->isChecked())
        m_ui.ScaleToFit->setChecked(false);
    else
        LayoutPass(false);
}

void PageGeometryController::ScaleToFitClick()
{
    if (m_ui.ScaleToFit->isChecked()) {
        m_ui.CustomScale->setEnabled(false);
        m_ui.percentLbl->setEnabled(false);
        m_ui.PlaceCentered->setChecked(true);
        PlaceCenteredClick();
        return;
    }
    m_ui.CustomScale->setEnabled(true);
    m_ui.percentLbl->setEnabled(true);
    LayoutPass(false);
}

void PageGeometryController::CustomScaleChange()
{
    LayoutPass(false);
}

void PageGeometryController::AutoOrientClick()
{
    if (m_ui.AutoOrient->isChecked())
        LayoutPass(false);
}

void PageGeometryController::PaperFeedChange()
{
    emit previewLayoutRequested();
}

void PageGeometryController::applyAutoOrientation()
{
    if (!m_ui.AutoOrient->isChecked())
        return;
    if (!autoOrientationToggles(m_facts, m_geometry.PaperWidth, m_geometry.PaperLength))
        return;
    selectOrientation(m_ui.OrientationBoxGroup->checkedId() == 0 ? 1 : 0);
}

bool PageGeometryController::LayoutPass(bool ask)
{
    struct Depth
    {
        int &depth;
        explicit Depth(int &d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(m_layoutDepth);
    // A pass started from within another (a new fit percentage) never asks.
    const bool mayAsk = ask && m_layoutDepth == 1;

    TPageGeometry &g = m_geometry;
    const TImageValidation validation = validateImageFacts(m_facts);
    if (m_ui.ScaleToFit->isChecked() && m_facts.Loaded) {
        // A changed percentage lays out again through CustomScaleChange before this goes on.
        if (const std::optional<int> percent = fitPercent(g, m_facts, validation))
            m_ui.CustomScale->setValue(*percent);
    }

    TLayoutOptions options;
    options.ScalePercent = scalePercentFromText(m_ui.CustomScale->cleanText());
    options.ScaleToFit = m_ui.ScaleToFit->isChecked();
    options.PlaceCentered = m_ui.PlaceCentered->isChecked();
    options.MarginsInMm = marginsInMillimetres();
    options.ScreenWidth = m_ui.ImageScreen->width();
    const TLayoutResult layout = computeLayout(g, m_facts, options, m_decimalPoint);

    g.PrintWidth = layout.PrintWidth;
    g.PrintHeight = layout.PrintHeight;
    if (m_facts.Loaded) {
        if (m_ui.SetDimension)
            m_ui.SetDimension->setEnabled(true);
        m_ui.PictureFrame->show();
    }
    setHint(m_ui.NowPrinting, imageHint(layout.SizeText));
    if (layout.Centred) {
        g.TopMarginValue = layout.TopMarginValue;
        g.LeftMarginValue = layout.LeftMarginValue;
        showMargins();
    }
    m_ui.PictureFrame->setGeometry(layout.FrameLeft, layout.FrameTop, layout.FrameWidth,
                                   layout.FrameHeight);

    m_ui.WarningsTabs->hide();
    m_ui.WarningPanel->hide();
    WarningList.clear();
    while (m_ui.WarningsTabs->count() > 0)
        m_ui.WarningsTabs->removeTab(m_ui.WarningsTabs->count() - 1);
    WarningList = layout.Warnings;
    for (int i = 0; i < WarningList.size(); ++i)
        m_ui.WarningsTabs->addTab(QString::number(i + 1));
    if (WarningList.isEmpty())
        return true;

    showWarnings();
    if (!mayAsk)
        return true;
    return Dialogs::instance().question(applicationTitle(), warningsQuestion(WarningList.size()),
                                        {QStringLiteral("OK"), QStringLiteral("Cancel")}) == 0;
}

void PageGeometryController::showWarnings()
{
    m_ui.WarningsTabs->setVisible(WarningList.size() > 1);
    m_ui.WarningPanel->show();
    m_ui.WarningsTabs->setCurrentIndex(0);
    showWarning(0);
}

void PageGeometryController::showWarning(int index)
{
    if (index < 0 || index >= WarningList.size())
        return;
    QLabel *message = m_ui.WarningMessage;
    message->setText(WarningList.at(index));
    const int height = message->hasHeightForWidth() ? message->heightForWidth(message->width())
                                                    : message->sizeHint().height();
    message->resize(message->width(), height);
    message->move((m_ui.WarningPanel->width() - message->width()) / 2,
                  (m_ui.WarningPanel->height() - message->height()) / 2);
}
