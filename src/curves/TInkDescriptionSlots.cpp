// The ink slots and the fields of the ink description editor: slot setup for a model,
// what each use shows, copy sources, the numeric boxes' checks and the linearization values.
#include "TInkDescription.h"

#include "Beeper.h"
#include "CurveCreationSettings.h"
#include "CurveFileChoice.h"
#include "Dialogs.h"
#include "NumberField.h"
#include "NumericBoxKeys.h"
#include "TInkLoaderForm.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>

namespace {

int knownInkIndex(const QString &ink)
{
    for (size_t i = 0; i < KnownInks().size(); ++i) {
        if (KnownInks()[i].ink == ink)
            return int(i);
    }
    return -1;
}

} // namespace

QString TInkDescription::descriptionFolder() const
{
    return DescriptionFileName.isEmpty() ? QString()
                                         : QFileInfo(DescriptionFileName).absolutePath();
}

QString TInkDescription::inkAtSlotOf(const QString &ink) const
{
    const int index = knownInkIndex(ink);
    const int slot = index < 0 ? -1 : InkSlotOf[size_t(index)];
    return slot < 0 ? QString() : InkBoxes[size_t(slot)].Ink;
}

void TInkDescription::setUpSlots(const QStringList &inks)
{
    const int count = int(std::min<qsizetype>(inks.size(), MaxInkSlots));
    for (int k = 0; k < count; ++k) {
        InkBox &box = InkBoxes[size_t(k)];
        if (box.Ink != inks[k])
            box.use->setCurrentIndex(int(InkUse::NotUsed));
        box.nameLabel->setText(inkDisplayName(inks[k]));
        box.nameLabel->setEnabled(true);
        box.Used = true;
        box.Ink = inks[k];
        if (const int index = knownInkIndex(inks[k]); index >= 0)
            InkSlotOf[size_t(index)] = k;
        box.Box->setEnabled(true);
        applyUse(k);
    }
    for (int k = count; k < MaxInkSlots; ++k) {
        InkBox &box = InkBoxes[size_t(k)];
        box.use->setCurrentIndex(int(InkUse::NotUsed));
        applyUse(k);
        box.Used = false;
        for (QWidget *part : std::initializer_list<QWidget *>{
                 box.Box, box.nameLabel, box.limit, box.limitLabel, box.density, box.densityLabel})
            part->setEnabled(false);
    }
    setUpCopySources(inks.mid(0, count));
}

// Every list offers the model's inks. A slot copies K by default, and on a model with
// seven inks the slots from Y's on copy LK; the slots of K and LK themselves have none.
void TInkDescription::setUpCopySources(const QStringList &inks)
{
    const int slotOfK = InkSlotOf[size_t(knownInkIndex(QStringLiteral("K")))];
    const int slotOfLK = InkSlotOf[size_t(knownInkIndex(QStringLiteral("LK")))];
    const int slotOfY = InkSlotOf[size_t(knownInkIndex(QStringLiteral("Y")))];
    for (int k = 0; k < MaxInkSlots; ++k) {
        QComboBox *list = InkBoxes[size_t(k)].copySource;
        list->clear();
        list->addItems(inks);
        list->setCurrentIndex(-1);
        if (k == slotOfK || k == slotOfLK)
            continue;
        const bool fromLK = inks.size() == 7 && slotOfY >= 0 && k >= slotOfY;
        list->setCurrentIndex(
            list->findText(inkAtSlotOf(fromLK ? QStringLiteral("LK") : QStringLiteral("K"))));
    }
}

void TInkDescription::applyUse(int slot)
{
    ModifiedState = Edited;
    InkBox &box = InkBoxes[size_t(slot)];
    const int use = box.use->currentIndex();
    box.limit->setEnabled(use > 0);
    box.limitLabel->setEnabled(use > 0);
    const bool withDensity = use >= 1 && use <= 3;
    box.density->setEnabled(withDensity);
    box.densityLabel->setEnabled(withDensity);
    box.densityLabel->setVisible(use < 4);
    const bool copies = use == int(InkUse::CopyCurveFrom);
    box.copySource->setVisible(copies);
    if (copies)
        box.copySource->setFocus();
    box.curveButton->setVisible(use == int(InkUse::LoadCurve));
}

void TInkDescription::InkUseChange(int slot)
{
    applyUse(slot);
}

void TInkDescription::CopySourceChange(int slot)
{
    QComboBox *list = InkBoxes[size_t(slot)].copySource;
    // A slot cannot copy its own curve.
    const int own = InkBoxes[size_t(slot)].slotLabel->text().toInt();
    if (list->currentText() == InkBoxes[size_t(own)].Ink)
        list->setCurrentIndex(-1);
    ModifiedState = Edited;
}

void TInkDescription::CopySourceExit(int slot)
{
    QComboBox *list = InkBoxes[size_t(slot)].copySource;
    if (list->currentIndex() >= 0)
        return;
    ErrorBeep();
    list->setCurrentIndex(list->findText(inkAtSlotOf(QStringLiteral("K"))));
}

bool TInkDescription::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusOut)
        return QWidget::eventFilter(watched, event);
    // Opening the list or switching windows is not leaving it.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    for (int slot = 0; slot < MaxInkSlots; ++slot) {
        if (watched == InkBoxes[size_t(slot)].copySource &&
            InkBoxes[size_t(slot)].copySource->isVisible())
            CopySourceExit(slot);
    }
    return false;
}

void TInkDescription::CurveSelectBtnClick(int slot)
{
    ModifiedState = Edited;
    InkBox &box = InkBoxes[size_t(slot)];
    if (!m_context.inkLoader)
        return;
    m_context.inkLoader->editCurve(inkDisplayName(box.Ink), descriptionFolder(), box.CurveData,
                                   box.curveSource);
}

void TInkDescription::checkBox(QLineEdit *box)
{
    const NumberRange *range = m_ranges.value(box);
    if (!range)
        return;
    checkNumericBox(box, *range);
    ModifiedState = Edited;
    if (box == DefaultInkLimit)
        DefaultInkLimitExit();
}

void TInkDescription::DefaultInkLimitExit()
{
    if (m_context.settings)
        m_context.settings->defaultLimit = DefaultInkLimit->text();
}

// The field being typed in counts before anything reads the controls.
void TInkDescription::commitFocusedBox()
{
    QWidget *focused = focusWidget();
    // Only a box the user typed in: a menu command does not leave the box it was given in.
    auto *box = qobject_cast<QLineEdit *>(focused);
    if (box && m_ranges.contains(box) && box->isModified()) {
        box->setModified(false);
        checkBox(box);
    }
    for (int slot = 0; slot < MaxInkSlots; ++slot) {
        if (focused == InkBoxes[size_t(slot)].copySource && focused->isVisible())
            CopySourceExit(slot);
    }
}

void TInkDescription::BrowseCurveClick(QLineEdit *curve)
{
    const std::optional<QString> chosen = chooseCurveFile(*m_context.settings, descriptionFolder());
    if (!chosen)
        return;
    curve->setText(*chosen);
    ModifiedState = Edited;
}

bool TInkDescription::linearizationShowing() const
{
    return InkDescriptionPages->currentWidget() == Linearize;
}

void TInkDescription::CopyBtnClick()
{
    QString text;
    for (const QLineEdit *box : LinearizeValues)
        text += box->text() + QLatin1Char('\t');
    QGuiApplication::clipboard()->setText(text);
}

void TInkDescription::PasteBtnClick()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    const QStringList numbers = numbersInText(data->text(), QLocale().decimalPoint().at(0));
    for (int i = 0; i < LinearizationValueCount; ++i) {
        QLineEdit *box = LinearizeValues[size_t(i)];
        box->setText(numbers.value(i));
        checkNumericBox(box, NumberRanges::percent());
    }
    ModifiedState = Edited;
}

void TInkDescription::ClearBtnClick()
{
    for (QLineEdit *box : LinearizeValues)
        box->clear();
}

void TInkDescription::resetSlot(InkBox &box)
{
    box.use->setCurrentIndex(int(InkUse::NotUsed));
    for (QLineEdit *field : {box.limit, box.density}) {
        field->clear();
        field->setEnabled(false);
    }
    box.limitLabel->setEnabled(false);
    box.densityLabel->setEnabled(false);
    box.densityLabel->setVisible(true);
    box.copySource->hide();
    box.curveButton->hide();
    box.curveSource = CurveSource::PointList;
    box.CurveData.clear();
}

// The defaults of a new description; the notes stay as they are.
void TInkDescription::resetToNewDescription()
{
    InkDescriptionPages->setCurrentWidget(Ink);
    DefaultInkLimit->setText(m_context.settings ? m_context.settings->defaultLimit : QString());
    Boost_K->setText(QStringLiteral("100"));
    for (InkBox &box : InkBoxes)
        resetSlot(box);
    InkBoxes[0].density->setText(QStringLiteral("100"));
    InkBoxes[0].use->setCurrentIndex(int(InkUse::GrayInk));
    applyUse(0);
    const auto resetShape = [](QLineEdit *highlight, QLineEdit *shadow, QLineEdit *gamma,
                               QLineEdit *curve) {
        highlight->setText(QStringLiteral("10"));
        shadow->setText(QStringLiteral("10"));
        gamma->setText(QStringLiteral("1"));
        curve->clear();
    };
    resetShape(GrayHighlightValue, GrayShadowValue, GrayGammaValue, GrayCurve);
    GrayOverlapValue->clear();
    resetShape(TonerHighlightValue, TonerShadowValue, TonerGammaValue, TonerCurve);
    resetShape(Toner_2HighlightValue, Toner_2ShadowValue, Toner_2GammaValue, Toner_2Curve);
    ClearBtnClick();
    ModifiedState = Clean;
}
