// Saving and loading presets: named sets of the curve settings kept in Diridu.ini.
#include "TDiriduForm.h"

#include "ComboOptionBox.h"
#include "Dialogs.h"
#include "IniFile.h"
#include "Presets.h"
#include "TLoadPresetsForm.h"
#include "TPrintingModel.h"
#include "TSavePresetsForm.h"
#include "ZorError.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

PresetValues TDiriduForm::currentPresetValues() const
{
    PresetValues values;
    values.Curve1Name = ui.Curve1->currentText();
    values.Curve2Name = ui.Curve2->currentText();
    values.Blend = ui.CurveBlendValue->text();
    values.Dither = ui.DitherType->currentText();
    values.Resolution = ui.Resolution->currentText();
    values.Gamma = ui.GammaBlendValue->text();
    values.Limit = ui.LimitBlendValue->text();
    values.Top = PageGeometry.TopMarginValue;
    values.Left = PageGeometry.LeftMarginValue;
    values.Speed = ui.RipSpeed->currentText();
    values.BlackInk = ui.RipBlack->currentText();
    return values;
}

void TDiriduForm::SavePresetClick()
{
    try {
        IniFile ini(settingsPath());
        SavePresetsForm->setPresetNames(presetNames(ini));
        SavePresetsForm->exec();
        if (SavePresetsForm->cancelled())
            return;
        const PresetSaveOutcome outcome = storePresets(ini, SavePresetsForm->saveRequest(),
                                                       currentPresetValues(), ui.PresetLbl->text());
        ui.PresetLbl->setText(outcome.caption);
        ui.PresetLbl->setVisible(outcome.captionVisible);
        ui.LoadPreset->setEnabled(outcome.loadPresetEnabled);
        ini.save();
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
    }
}

void TDiriduForm::LoadPresetClick()
{
    PresetValues values;
    try {
        const IniFile ini(settingsPath());
        LoadPresetsForm->setPresetNames(presetNames(ini));
        LoadPresetsForm->exec();
        if (LoadPresetsForm->cancelled())
            return;
        values = readPreset(ini, LoadPresetsForm->presetName());
    } catch (const ZorError &error) {
        Dialogs::instance().applicationError(error.message());
        return;
    }
    applyPreset(LoadPresetsForm->presetName(), values);
}

// A preset falls back to the model's default for every item the model does not offer; the
// placement it stored is left alone.
void TDiriduForm::applyPreset(const QString &name, const PresetValues &values)
{
    selectDefaultThenText(ui.Curve1, PrintingModel->Curve1Default, values.Curve1Name);
    selectDefaultThenText(ui.Curve2, PrintingModel->Curve2Default, values.Curve2Name);
    ui.CurveBlendValue->setText(values.Blend);
    CurveBlendValueExit();
    ui.GammaBlendValue->setText(values.Gamma);
    GammaBlendValueExit();
    ui.LimitBlendValue->setText(values.Limit);
    LimitBlendValueExit();
    selectDefaultThenText(ui.DitherType, PrintingModel->DitherDefault, values.Dither);
    selectDefaultThenText(ui.Resolution, PrintingModel->ResolutionDefault, values.Resolution);
    selectDefaultThenText(ui.RipSpeed, PrintingModel->SpeedDefault, values.Speed);
    selectDefaultThenText(ui.RipBlack, PrintingModel->BlackDefault, values.BlackInk);
    ui.PresetLbl->setText(name);
    ui.PresetLbl->show();
}
