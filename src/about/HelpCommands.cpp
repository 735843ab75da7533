#include "HelpCommands.h"

#include "Dialogs.h"
#include "DocumentOpener.h"
#include "HelpService.h"
#include "InstallPaths.h"

void ShowHelpContents(const QString &helpFile)
{
    if (!HelpService::instance().showHelp(helpFile))
        Dialogs::instance().error(QStringLiteral("The Zor Help file is missing."),
                                  Dialogs::Button::Cancel);
}

QString userGuideFailureText(int result)
{
    switch (result) {
    case DocumentOpener::FileNotFound:
        return QStringLiteral("The User Guide is missing.");
    case DocumentOpener::NoAssociation:
        return QStringLiteral("There is no application associated with PDF files. You need to "
                              "install Adobe Reader to view the Guide.");
    default:
        return QStringLiteral("Could not launch User Guide: Error %1").arg(result);
    }
}

void OpenUserGuide(const QString &installFolder)
{
    const QString guide =
        resolveCaseInsensitive(installFolder, QStringLiteral("Zorlane User Guide.pdf"));
    const int result = DocumentOpener::instance().open(guide);
    if (!DocumentOpener::succeeded(result))
        Dialogs::instance().error(userGuideFailureText(result), Dialogs::Button::Cancel);
}
