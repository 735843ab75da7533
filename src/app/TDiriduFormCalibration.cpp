// Calibration prints and files dropped on the window.
#include "TDiriduForm.h"

#include "Events.h"
#include "InstallPaths.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "PageGeometryController.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSlider>
#include <QUrl>

void TDiriduForm::CalibrationModeClick()
{
    QSlider *const sliders[] = {ui.CurveBlend, ui.GammaBlend, ui.LimitBlend};
    QWidget *const locked[] = {ui.LimitBlendValue, ui.LimitBlend, ui.GammaBlendValue,
                               ui.GammaBlend};
    const bool entering = ui.CalibrationMode->isChecked();
    if (entering) {
        for (int i = 0; i < 3; ++i)
            m_calibrationPositions[i] = sliders[i]->value();
        m_calibrationPreset = ui.PresetLbl->text();
        m_calibrationPresetShown = ui.PresetLbl->isVisibleTo(this);
    }
    ui.CalibrationModeLbl->setVisible(entering);
    ui.Curve1->setVisible(!entering);
    ui.Curve2->setVisible(!entering);
    ui.BlendLbl->setVisible(!entering);
    ui.CurvesBox->setTitle(entering ? QStringLiteral("Ink") : QStringLiteral("Curves"));
    for (int i = 0; i < 3; ++i)
        setSliderPosition(sliders[i], entering ? 0 : m_calibrationPositions[i]);
    for (QWidget *control : locked)
        control->setEnabled(!entering);

    if (!entering) {
        // The label comes back as it was, shown only if it was shown before.
        ui.PresetLbl->setText(m_calibrationPreset);
        ui.PresetLbl->setVisible(m_calibrationPresetShown);
        return;
    }
    const QString target = resolveCaseInsensitive(ProgramFolder, QStringLiteral("channelwedge.tif"));
    if (QFileInfo(target).isFile()) {
        ProbeImage(target);
        m_geometry->LayoutPass(false);
    }
}

void TDiriduForm::DropFileTargetDrop(const QStringList &paths)
{
    if (!m_mail || !m_mail->isOpen())
        return;
    for (const QString &path : paths)
        m_mail->write(makeMailMessage(MailCode::Open, path));
    QCoreApplication::postEvent(this, new QEvent(WM_CHECKMAIL));
}

void TDiriduForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (!handleDropEvent(event))
        QMainWindow::dragEnterEvent(event);
}

void TDiriduForm::dragMoveEvent(QDragMoveEvent *event)
{
    if (!handleDropEvent(event))
        QMainWindow::dragMoveEvent(event);
}

void TDiriduForm::dropEvent(QDropEvent *event)
{
    if (!handleDropEvent(event))
        QMainWindow::dropEvent(event);
}

// Only the names of local files are taken; the files are neither copied nor moved.
bool TDiriduForm::handleDropEvent(QEvent *event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasUrls())
            return false;
        drag->setDropAction(Qt::LinkAction);
        drag->accept();
        return true;
    }
    if (event->type() != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    QStringList paths;
    for (const QUrl &url : drop->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    drop->setDropAction(Qt::LinkAction);
    drop->accept();
    DropFileTargetDrop(paths);
    return true;
}
