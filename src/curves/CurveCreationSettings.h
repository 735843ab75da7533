#pragma once

#include <QString>

// The settings the curve creation windows read and change; the main window owns them and
// keeps them in Diridu.ini.
struct CurveCreationSettings
{
    QString defaultLimit;          // [CurveCreation] DefaultLimit
    QString inkDescriptionsFolder; // [Folders] InkDescriptions
    QString inkCurvesFolder;       // [Folders] InkCurves
};
