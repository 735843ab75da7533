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
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

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
    for (const QString &path : paths)
        m_mail->write(makeMailMessage(MailCode::Open, path));
    QCoreApplication::postEvent(this, new QEvent(WM_CHECKMAIL));
}
