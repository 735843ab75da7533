// The ink description editor's files: the controls to and from a description, New, Open,
// Save, Save As, closing, help, and the start of a curve creation run.
#include "TInkDescription.h"

#include "ApplicationTitle.h"
#include "CurveCreationSettings.h"
#include "Dialogs.h"
#include "HelpService.h"
#include "InstallPaths.h"
#include "InstalledToolVersions.h"
#include "TProfileErrors.h"
#include "ZorError.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

const QString kOpenFilter = QStringLiteral("Ink Descriptor File (*.zidf);;All Files (*)");
const QString kSaveFilter =
    QStringLiteral("Ink Descriptor File (*.zidf);;Text File (*.txt);;All Files (*)");
constexpr int kVersionTimeoutMs = 3000;

QString withTrailingSlash(const QString &folder)
{
    return folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder
                                                                 : folder + QLatin1Char('/');
}

CurveShape shapeOf(const QLineEdit *highlight, const QLineEdit *shadow, const QLineEdit *overlap,
                   const QLineEdit *gamma, const QLineEdit *curve)
{
    return {highlight->text(), shadow->text(), overlap ? overlap->text() : QString(), gamma->text(),
            curve->text()};
}

void showShape(const CurveShape &shape, QLineEdit *highlight, QLineEdit *shadow, QLineEdit *overlap,
               QLineEdit *gamma, QLineEdit *curve)
{
    highlight->setText(shape.highlight);
    shadow->setText(shape.shadow);
    if (overlap)
        overlap->setText(shape.overlap);
    gamma->setText(shape.gamma);
    curve->setText(shape.curve);
}

} // namespace

void TInkDescription::setContext(const InkDescriptionContext &context)
{
    m_context = context;
    if (m_context.settings)
        DefaultInkLimit->setText(m_context.settings->defaultLimit);
}

void TInkDescription::setOpenFolder(const QString &folder)
{
    m_openFolder = withTrailingSlash(folder);
    if (m_context.settings)
        m_context.settings->inkDescriptionsFolder = m_openFolder;
}

// Read when first needed: asking the tool takes a moment the start-up should not wait for.
QString TInkDescription::curvewrightVersion()
{
    if (!m_versionRead) {
        const QString tool =
            resolveCaseInsensitive(m_context.programFolder, QStringLiteral("Curvewright"));
        m_curvewrightVersion = readInstalledToolVersions({tool}, kVersionTimeoutMs).value(0);
        m_versionRead = true;
    }
    return m_curvewrightVersion;
}

void TInkDescription::updateCaption()
{
    const QString name = DescriptionFileName.isEmpty() ? QStringLiteral("Un-Named")
                                                       : QFileInfo(DescriptionFileName).fileName();
    setWindowTitle(QStringLiteral("Curve Creator - ") + name);
}

QStringList TInkDescription::modelList() const
{
    QStringList models;
    for (int i = 0; i < PrintingModelName->count(); ++i)
        models.append(PrintingModelName->itemText(i));
    return models;
}

QStringList TInkDescription::inkSetOf(const QString &model) const
{
    return readModelInkSet(m_context.installFolder, model);
}

InkDescription TInkDescription::descriptionFromControls() const
{
    InkDescription d;
    d.printer = PrintingModelName->currentText();
    d.defaultInkLimit = DefaultInkLimit->text();
    d.boostK = Boost_K->text();
    for (int k = 0; k < MaxInkSlots; ++k) {
        const InkBox &box = InkBoxes[size_t(k)];
        InkSlot &slot = d.inkSlots[size_t(k)];
        slot.ink = box.Ink;
        slot.use = InkUse(std::max(0, box.use->currentIndex()));
        slot.density = box.density->text();
        slot.limit = box.limit->text();
        slot.copySource = box.copySource->currentText();
        slot.curveData = box.CurveData;
        slot.curveSource = box.curveSource;
        if (box.Used)
            d.inkCount = k + 1;
    }
    d.gray =
        shapeOf(GrayHighlightValue, GrayShadowValue, GrayOverlapValue, GrayGammaValue, GrayCurve);
    d.toner = shapeOf(TonerHighlightValue, TonerShadowValue, nullptr, TonerGammaValue, TonerCurve);
    d.toner2 = shapeOf(Toner_2HighlightValue, Toner_2ShadowValue, nullptr, Toner_2GammaValue,
                       Toner_2Curve);
    for (int i = 0; i < LinearizationValueCount; ++i)
        d.linearization[size_t(i)] = LinearizeValues[size_t(i)]->text();
    const QString notes = NotesText->toPlainText();
    if (!notes.isEmpty())
        d.notes = notes.split(QLatin1Char('\n'));
    return d;
}

void TInkDescription::showSlot(int slot, const InkSlot &inkSlot)
{
    InkBox &box = InkBoxes[size_t(slot)];
    box.use->setCurrentIndex(int(inkSlot.use));
    box.density->setText(inkSlot.density);
    box.limit->setText(inkSlot.limit);
    // Only a slot that copies names its source; the others keep the model's default.
    if (inkSlot.use == InkUse::CopyCurveFrom)
        box.copySource->setCurrentIndex(box.copySource->findText(inkSlot.copySource));
    box.CurveData = inkSlot.curveData;
    box.curveSource = inkSlot.curveSource;
}

void TInkDescription::showDescription(const InkDescription &d)
{
    if (d.printer != PrintingModelName->currentText()) {
        {
            const QSignalBlocker blocker(PrintingModelName);
            PrintingModelName->setCurrentIndex(PrintingModelName->findText(d.printer));
        }
        QStringList inks;
        for (int k = 0; k < d.inkCount; ++k)
            inks.append(d.inkSlots[size_t(k)].ink);
        setUpSlots(inks);
    }
    DefaultInkLimit->setText(d.defaultInkLimit);
    Boost_K->setText(d.boostK);
    for (int k = 0; k < MaxInkSlots; ++k)
        showSlot(k, d.inkSlots[size_t(k)]);
    for (int k = 0; k < MaxInkSlots; ++k)
        applyUse(k);
    showShape(d.gray, GrayHighlightValue, GrayShadowValue, GrayOverlapValue, GrayGammaValue,
              GrayCurve);
    showShape(d.toner, TonerHighlightValue, TonerShadowValue, nullptr, TonerGammaValue, TonerCurve);
    showShape(d.toner2, Toner_2HighlightValue, Toner_2ShadowValue, nullptr, Toner_2GammaValue,
              Toner_2Curve);
    for (int i = 0; i < LinearizationValueCount; ++i)
        LinearizeValues[size_t(i)]->setText(d.linearization[size_t(i)]);
    NotesText->setPlainText(d.notes.join(QLatin1Char('\n')));
    NotesText->document()->setModified(false);
}

void TInkDescription::showLoadErrors(const QStringList &errors)
{
    if (m_context.report)
        m_context.report->showReport(QStringLiteral("Ink Descriptor File Errors"), errors);
}

void TInkDescription::startNewDescription()
{
    DescriptionFileName.clear();
    updateCaption();
    // The model's inks first, so that its first slot starts as the gray ink whatever ink
    // it held before.
    if (!PrintingModelName->currentText().isEmpty()) {
        try {
            setUpSlots(inkSetOf(PrintingModelName->currentText()));
        } catch (const ZorError &error) {
            Dialogs::instance().applicationError(error.message());
        }
    }
    resetToNewDescription();
}

// The save question before the description is replaced; false when it is to stay.
bool TInkDescription::askToSaveBeforeDropping()
{
    if (ModifiedState != Edited)
        return true;
    const int answer = Dialogs::instance().question(
        applicationTitle(), QStringLiteral("Save Ink Description?"),
        {QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")});
    if (answer == 0)
        return SaveDescriptionClick();
    return answer == 1;
}

void TInkDescription::NewDescriptionClick()
{
    commitFocusedBox();
    if (askToSaveBeforeDropping())
        startNewDescription();
}

void TInkDescription::OpenDescriptionClick()
{
    commitFocusedBox();
    if (!askToSaveBeforeDropping())
        return;
    const QString path = Dialogs::instance().openFileName(
        QStringLiteral("Open Ink Descriptor File"), m_openFolder, kOpenFilter);
    if (!path.isEmpty())
        openDescription(path);
}

void TInkDescription::openDescription(const QString &path)
{
    resetToNewDescription();
    DescriptionFileName = QFileInfo(path).absoluteFilePath();
    updateCaption();
    setOpenFolder(QFileInfo(path).absolutePath());
    InkDescription description = descriptionFromControls();
    InkDescriptionLoad load;
    try {
        load = readInkDescriptionFile(DescriptionFileName, description, modelList(),
                                      [this](const QString &model) { return inkSetOf(model); });
    } catch (const ZorError &error) {
        // What was not read must not be saved over the file.
        DescriptionFileName.clear();
        updateCaption();
        Dialogs::instance().applicationError(error.message());
        return;
    }
    showDescription(description);
    ModifiedState = load.unchanged ? Clean : ChangedByLoad;
    if (!load.errors.isEmpty())
        showLoadErrors(load.errors);
}

void TInkDescription::writeDescription()
{
    writeInkDescriptionFile(descriptionFromControls(), DescriptionFileName);
    ModifiedState = Clean;
    NotesText->document()->setModified(false);
}

bool TInkDescription::SaveDescriptionClick()
{
    commitFocusedBox();
    if (DescriptionFileName.isEmpty())
        return SaveDescriptionAsClick();
    try {
        writeDescription();
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
        return false;
    }
    return true;
}

bool TInkDescription::SaveDescriptionAsClick()
{
    commitFocusedBox();
    const QFileInfo current(DescriptionFileName);
    const QString folder = DescriptionFileName.isEmpty() ? m_openFolder : current.absolutePath();
    const QString proposed = DescriptionFileName.isEmpty() ? QString() : current.completeBaseName();
    const QString path =
        Dialogs::instance().saveFileName(QStringLiteral("Save Ink Descriptor File"), folder,
                                         proposed, kSaveFilter, QStringLiteral("zidf"));
    if (path.isEmpty())
        return false;
    if (QFileInfo::exists(path)) {
        const int answer = Dialogs::instance().question(
            applicationTitle(), QStringLiteral("File %1 already exists. Replace it?").arg(path),
            {QStringLiteral("Yes"), QStringLiteral("No")});
        if (answer != 0)
            return false;
    }
    DescriptionFileName = QFileInfo(path).absoluteFilePath();
    updateCaption();
    setOpenFolder(QFileInfo(path).absolutePath());
    return SaveDescriptionClick();
}

void TInkDescription::ExitMenuClick()
{
    close();
}

void TInkDescription::HelpClick()
{
    if (!HelpService::instance().showTopic(m_context.helpFile +
                                           QStringLiteral("::/html/Curve Creation.htm")))
        Dialogs::instance().error(QStringLiteral("The Zor Help file is missing."),
                                  Dialogs::Button::Cancel);
}

void TInkDescription::PrintingModelNameChange()
{
    try {
        setUpSlots(inkSetOf(PrintingModelName->currentText()));
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
    }
    ModifiedState = Edited;
}

void TInkDescription::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        startNewDescription();
}

void TInkDescription::closeEvent(QCloseEvent *event)
{
    commitFocusedBox();
    if (ModifiedState == Edited) {
        const int answer = Dialogs::instance().question(
            applicationTitle(),
            QStringLiteral("Ink Description is not saved, save before exiting?"),
            {QStringLiteral("Yes"), QStringLiteral("No")});
        if (answer == 0 && !SaveDescriptionClick()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void TInkDescription::CreateCurveBtnClick()
{
    commitFocusedBox();
    if (ModifiedState != Clean || DescriptionFileName.isEmpty()) {
        const int answer = Dialogs::instance().question(
            applicationTitle(), QStringLiteral("Save Ink Description?"),
            {QStringLiteral("Yes"), QStringLiteral("Cancel")});
        if (answer != 0)
            return;
        SaveDescriptionClick();
        if (ModifiedState != Clean || DescriptionFileName.isEmpty())
            return;
    }
    runCurveCreation();
}
