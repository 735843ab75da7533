#pragma once

#include <QString>

// The help menu's commands, shared by the main window and the About box. Failures are told
// to the user in an error box.

// Opens the help at its start page.
void ShowHelpContents(const QString &helpFile);

// Opens the user guide, install folder + "Zorlane User Guide.pdf", in the desktop's viewer.
void OpenUserGuide(const QString &installFolder);

// What the user is told when opening the user guide gave result (below 32).
QString userGuideFailureText(int result);
