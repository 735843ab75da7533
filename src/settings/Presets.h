#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// Named sets of curve parameters kept in Diridu.ini: the section [Presets] lists the names
// (each key's value is "Preset"), and each preset has a section of its own name holding the
// keys below. Names are matched without regard to letter case in the file, but the dialogs
// show and compare them case-sensitively.

// What a preset holds: the visible texts of the main window's curve controls and the
// placement (Top and Left are stored but a load leaves the placement alone).
struct PresetValues
{
    QString Curve1Name, Curve2Name, Blend, Dither, Resolution, Gamma, Limit;
    double Top = 0, Left = 0;
    QString Speed, BlackInk;

    friend bool operator==(const PresetValues &, const PresetValues &) = default;
};

// What the save dialog hands over when it was closed with Save.
struct PresetSaveRequest
{
    QStringList pendingDeletions; // in the order the user deleted them
    QStringList presetList;       // the dialog's list after the edits, in list order
    QString newName;              // empty when only deletions are to be stored
};

// How the main window shows the result of a save.
struct PresetSaveOutcome
{
    QString caption;        // the new caption of PresetLbl
    bool captionVisible = false;
    bool loadPresetEnabled = false;
};

// The preset names in file order (the keys of [Presets]).
QStringList presetNames(const IniFile &ini);

// [Presets] name=Preset, then the eleven keys into [name] in their fixed order. The section is
// not emptied first, so keys written there by someone else stay. Throws ZorError when the name
// cannot be a key or section name (the save dialog refuses those).
void writePreset(IniFile &ini, const QString &name, const PresetValues &values);

// An absent key reads as empty, except Blend ("50"), Gamma and Limit ("0"), Top and Left (0).
PresetValues readPreset(const IniFile &ini, const QString &name);

// The names of the sections the program keeps its own settings in, any letter case; a preset
// of such a name would mix its keys with the settings.
bool isReservedPresetName(const QString &name);

// A name the save dialog accepts: not reserved, and storable as a key and a section name so
// that it reads back as written (no blanks at either end, no "=", no leading ";" or "[").
bool isAcceptablePresetName(const QString &name);

// The deletion step of a save: erases the section of each pending name in order, then
// rewrites [Presets] from the remaining list entries in list order. Returns whether
// oldCaption is still one of those entries (case-sensitive), i.e. whether PresetLbl keeps it.
// A pending name of one of the program's own sections only leaves the list; its settings
// stay in the file.
bool applyPresetDeletions(IniFile &ini, const QStringList &pendingDeletions,
                          const QStringList &remaining, const QString &oldCaption);

// Everything that follows a save dialog closed with Save: the deletions, then the new preset
// from the current values, and the resulting state of PresetLbl and LoadPreset. The caller
// saves the file afterwards.
PresetSaveOutcome storePresets(IniFile &ini, const PresetSaveRequest &request,
                               const PresetValues &current, const QString &caption);
