#include "Presets.h"

#include "IniFile.h"

#include <QLatin1StringView>

#include <algorithm>
#include <array>

namespace {

const QString PresetsSection = QStringLiteral("Presets");
const QString PresetValue = QStringLiteral("Preset");

} // namespace

QStringList presetNames(const IniFile &ini)
{
    return ini.keys(PresetsSection);
}

void writePreset(IniFile &ini, const QString &name, const PresetValues &values)
{
    ini.writeString(PresetsSection, name, PresetValue);
    ini.writeString(name, QStringLiteral("Curve1Name"), values.Curve1Name);
    ini.writeString(name, QStringLiteral("Curve2Name"), values.Curve2Name);
    ini.writeString(name, QStringLiteral("Blend"), values.Blend);
    ini.writeString(name, QStringLiteral("Dither"), values.Dither);
    ini.writeString(name, QStringLiteral("Resolution"), values.Resolution);
    ini.writeString(name, QStringLiteral("Gamma"), values.Gamma);
    ini.writeString(name, QStringLiteral("Limit"), values.Limit);
    ini.writeReal(name, QStringLiteral("Top"), values.Top);
    ini.writeReal(name, QStringLiteral("Left"), values.Left);
    ini.writeString(name, QStringLiteral("Speed"), values.Speed);
    ini.writeString(name, QStringLiteral("BlackInk"), values.BlackInk);
}

PresetValues readPreset(const IniFile &ini, const QString &name)
{
    PresetValues values;
    values.Curve1Name = ini.readString(name, QStringLiteral("Curve1Name"));
    values.Curve2Name = ini.readString(name, QStringLiteral("Curve2Name"));
    values.Blend = ini.readString(name, QStringLiteral("Blend"), QStringLiteral("50"));
    values.Dither = ini.readString(name, QStringLiteral("Dither"));
    values.Resolution = ini.readString(name, QStringLiteral("Resolution"));
    values.Gamma = ini.readString(name, QStringLiteral("Gamma"), QStringLiteral("0"));
    values.Limit = ini.readString(name, QStringLiteral("Limit"), QStringLiteral("0"));
    values.Top = ini.readReal(name, QStringLiteral("Top"), 0);
    values.Left = ini.readReal(name, QStringLiteral("Left"), 0);
    values.Speed = ini.readString(name, QStringLiteral("Speed"));
    values.BlackInk = ini.readString(name, QStringLiteral("BlackInk"));
    return values;
}

bool isReservedPresetName(const QString &name)
{
    static constexpr std::array<QLatin1StringView, 10> sections = {
        QLatin1StringView("Folders"),   QLatin1StringView("CurveCreation"),
        QLatin1StringView("Options"),   QLatin1StringView("RecentFiles"),
        QLatin1StringView("Printer"),   QLatin1StringView("Curves"),
        QLatin1StringView("Page"),      QLatin1StringView("Placement"),
        QLatin1StringView("Monitoring"), QLatin1StringView("Presets"),
    };
    // The file trims section names, so " Options " is the same section.
    const QString trimmed = name.trimmed();
    return std::any_of(sections.begin(), sections.end(), [&](QLatin1StringView section) {
        return trimmed.compare(section, Qt::CaseInsensitive) == 0;
    });
}

bool isAcceptablePresetName(const QString &name)
{
    return !name.isEmpty() && name == name.trimmed() && IniFile::isValidKeyName(name)
           && IniFile::isValidSectionName(name) && !isReservedPresetName(name);
}

bool applyPresetDeletions(IniFile &ini, const QStringList &pendingDeletions,
                          const QStringList &remaining, const QString &oldCaption)
{
    for (const QString &name : pendingDeletions) {
        // An old file may list a preset named like a settings section; dropping it from the
        // list must not take the settings with it.
        if (IniFile::isValidSectionName(name) && !isReservedPresetName(name))
            ini.eraseSection(name);
    }
    ini.eraseSection(PresetsSection);
    bool captionKept = false;
    for (const QString &name : remaining) {
        if (name == oldCaption)
            captionKept = true;
        ini.writeString(PresetsSection, name, PresetValue);
    }
    return captionKept;
}

PresetSaveOutcome storePresets(IniFile &ini, const PresetSaveRequest &request,
                               const PresetValues &current, const QString &caption)
{
    PresetSaveOutcome outcome;
    outcome.caption = caption;
    if (!request.pendingDeletions.isEmpty()) {
        const bool kept = applyPresetDeletions(ini, request.pendingDeletions,
                                               request.presetList, caption);
        outcome.caption = kept ? caption : QString();
    }
    if (!request.newName.isEmpty()) {
        writePreset(ini, request.newName, current);
        outcome.caption = request.newName;
    }
    outcome.loadPresetEnabled = !request.presetList.isEmpty();
    outcome.captionVisible = !outcome.caption.isEmpty();
    return outcome;
}
