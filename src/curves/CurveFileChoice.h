#pragma once

#include <QString>

#include <optional>

struct CurveCreationSettings;

// The curve dialog of the curve creation windows ("Select Toner Curve").
extern const QString kCurveDialogTitle;
extern const QString kCurveDialogFilter;
extern const QString kCurveDialogDefaultSuffix;

// What a curve box gets for a chosen file: the name alone when the file lies in the folder
// of the ink description (descriptionFolder, empty for an unnamed description), otherwise
// the full path.
QString curveFileReference(const QString &path, const QString &descriptionFolder);

// Lets the user pick a curve file, starting in the ink-curves folder; a chosen file's
// folder becomes that folder. nullopt when the user cancelled.
std::optional<QString> chooseCurveFile(CurveCreationSettings &settings,
                                       const QString &descriptionFolder);
