// Print requests: the Print command, the queue of requests and their execution one after
// another through the pipeline of the Zorlane tools.
#include "TDiriduForm.h"

#include "Dialogs.h"
#include "Events.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "PageGeometryController.h"
#include "PrintPipeline.h"
#include "TErrorDisplay.h"
#include "TPrintingModel.h"
#include "ZorError.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>

namespace {

bool isTiffName(const QString &path)
{
    const QString lower = path.toLower();
    return lower.endsWith(QLatin1String(".tif")) || lower.endsWith(QLatin1String(".tiff"));
}

} // namespace

void TDiriduForm::PrintFileClick()
{
    ui.PrintFile->setEnabled(false);
    if (ImagePath.isEmpty()) {
        Dialogs::instance().error(QStringLiteral("You have not selected a picture to print."),
                                  Dialogs::Button::Cancel);
        return;
    }
    m_mail->write(makeMailMessage(MailCode::Print, ImagePath));
    QCoreApplication::postEvent(this, new QEvent(WM_CHECKMAIL));
}

bool TDiriduForm::PrintReady()
{
    bool ready = true;
    const std::pair<QComboBox *, const char *> checks[] = {
        {ui.PrintingModelName, "You have not selected a Printing Model."},
        {ui.PrinterList, "You have not selected a Printer."},
        {ui.Curve1, "You have not selected Curve1."},
        {ui.Curve2, "You have not selected Curve2."},
    };
    for (const auto &[box, message] : checks) {
        if (box->currentIndex() < 0) {
            Dialogs::instance().error(QLatin1String(message), Dialogs::Button::Cancel);
            ready = false;
        }
    }
    return ready;
}

void TDiriduForm::WMCheckMail()
{
    if (!m_mail || m_shuttingDown)
        return;
    if (m_checkingMail) {
        // The running reader may stop before it gets to the messages this one announces
        // (an error, a file only opened): it asks again when it ends.
        m_mailMissed = true;
        return;
    }
    m_checkingMail = true;
    m_mailMissed = false;
    const auto clearBusy = qScopeGuard([this] {
        m_checkingMail = false;
        if (m_mailMissed && !m_shuttingDown && m_mail->count() != 0)
            QCoreApplication::postEvent(this, new QEvent(WM_CHECKMAIL));
        m_mailMissed = false;
    });

    bool print = false;
    QString source;
    // Once the program is ending nothing more is started; the queue is left as it is.
    while (!m_shuttingDown && m_mail->count() != 0) {
        raise();
        activateWindow();
        const MailMessage message = parseMailMessage(m_mail->read());
        const QString path = message.path();
        switch (message.code) {
        case MailCode::Print:
            print = true;
            source = QStringLiteral("Print");
            break;
        case MailCode::Open:
            print = ui.DragDropAutoPrint->isChecked();
            source = QStringLiteral("Drag-Drop AutoPrint");
            break;
        case MailCode::MonitorFolder:
            print = true;
            source = QStringLiteral("Monitor Folder");
            break;
        default:
            break;
        }
        if (!isTiffName(path)) {
            Dialogs::instance().error(
                QStringLiteral("Dropped images must be in TIFF format. \"%1\" is not a TIFF file")
                    .arg(path),
                Dialogs::Button::Cancel);
            continue;
        }
        if (!PrintReady())
            continue;
        if (message.code < MailCode::MonitorFolder)
            AddRecentFile(path);
        ProbeImage(path);
        if (!m_geometry->LayoutPass(print))
            continue;
        if (!print || m_shuttingDown)
            return;
        try {
            ProcessPrintRequest(path, source);
        } catch (const ZorError &error) {
            // The rest of the queue waits for the next notification; the image stays.
            Dialogs::instance().applicationError(error.message());
            return;
        }
        if (m_shuttingDown)
            return;
        ClearImage();
    }
}

void TDiriduForm::createBusyControls()
{
    m_cancelPrint = new QPushButton(QStringLiteral("Cancel"), ui.StatusBar);
    m_cancelPrint->setObjectName(QStringLiteral("CancelPrint"));
    const QString hint = QStringLiteral("Stop the print request that is running.");
    m_cancelPrint->setToolTip(hint);
    m_cancelPrint->setStatusTip(hint);
    m_cancelPrint->setFocusPolicy(Qt::NoFocus);
    m_cancelPrint->hide();
    ui.StatusBar->addPermanentWidget(m_cancelPrint);
    connect(m_cancelPrint, &QPushButton::clicked, this, &TDiriduForm::CancelPrintClick);
    m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, &TDiriduForm::CancelPrintClick);
}

void TDiriduForm::showBusy(bool busy)
{
    m_cancelPrint->setVisible(busy);
    m_cancelKey->setEnabled(busy);
}

void TDiriduForm::CancelPrintClick()
{
    m_pipeline->cancel(QStringLiteral("by the user"));
}

TPrintRequest TDiriduForm::printRequestFromControls(const QString &imagePath) const
{
    TPrintRequest request;
    request.ImagePath = imagePath;
    request.PrintingModelName = ui.PrintingModelName->currentText();
    request.PrinterName = ui.PrinterList->currentText();
    request.Model = *PrintingModel;
    request.MediaTypeIndex = ui.MediaType->currentIndex();
    request.PaperFeedEnabled = ui.SourceLbl->isEnabled();
    request.PaperFeedIndex = ui.PaperFeed->currentIndex();
    request.PaperSizeIndex = ui.PaperSize->currentIndex();
    request.PaperSizeCount = ui.PaperSize->count();
    request.ResolutionIndex = ui.Resolution->currentIndex();
    request.RipSpeedEnabled = ui.RipSpeed->isEnabled();
    request.RipSpeedIndex = ui.RipSpeed->currentIndex();
    request.RipBlackEnabled = ui.RipBlackLbl->isEnabled();
    request.RipBlackIndex = ui.RipBlack->currentIndex();
    request.DitherTypeIndex = ui.DitherType->currentIndex();
    request.Curve1Index = ui.Curve1->currentIndex();
    request.Curve2Index = ui.Curve2->currentIndex();
    request.CustomWidthValue = PageGeometry.CustomWidthValue;
    request.CustomLengthValue = PageGeometry.CustomLengthValue;
    request.CustomUnit = PageGeometry.CustomUnit;
    request.PlaceCentered = ui.PlaceCentered->isChecked();
    request.TopMarginValue = PageGeometry.TopMarginValue;
    request.LeftMarginValue = PageGeometry.LeftMarginValue;
    request.UnitsIndex = ui.UnitsBoxGroup->checkedId();
    request.ScaleToFit = ui.ScaleToFit->isChecked();
    request.CustomScale = ui.CustomScale->value();
    request.OrientationIndex = ui.OrientationBoxGroup->checkedId();
    request.CopyCount = ui.CopyCount->value();
    request.CurveBlendText = ui.CurveBlendValue->text();
    request.GammaPosition = ui.GammaBlend->value();
    request.LimitPosition = ui.LimitBlend->value();
    request.CalibrationMode = ui.CalibrationMode->isChecked();
    request.DecimalPoint = QLocale::system().decimalPoint();
    return request;
}

void TDiriduForm::ProcessPrintRequest(const QString &imagePath, const QString &printSource)
{
    if (m_shuttingDown)
        return;
    CommitFocusedField();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });

    TPipelineRequest request;
    request.Arguments = buildPrintArguments(printRequestFromControls(imagePath));
    request.InstallFolder = InstallFolder;
    request.ProgramFolder = ProgramFolder;
    request.WorkFolder = WorkFolder;
    request.PrintSource = printSource;
    request.GuiVersion = GuiVersion;
    request.RastermillVersion = RastermillVersion;
    request.InkforgeVersion = InkforgeVersion;
    request.UseBatch = ui.UseBatch->isChecked();
    request.Debugging = ui.DebugMenu->isChecked();
    showBusy(true);
    const TPipelineResult result = m_pipeline->run(request);
    showBusy(false);

    ErrorDisplay->setLines(result.RastermillList, result.InkforgeList, result.SpoolgateList);
    // A cancelled request has said so in its log; there is nothing to show.
    if (result.Cancelled)
        return;
    if (result.ErrorFlag) {
        QApplication::restoreOverrideCursor();
        ErrorDisplay->exec();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    result.raiseIfFailed();
}
