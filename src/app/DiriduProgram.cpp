#include "DiriduProgram.h"

#include "ApplicationTitle.h"
#include "TDiriduForm.h"

#include <QApplication>

int runDiridu(int argc, char **argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Diridu"));
    QCoreApplication::setApplicationVersion(guiVersion());
    QApplication::setQuitOnLastWindowClosed(false);
    // The window has a fixed, designed size: Fusion keeps control metrics the same on
    // every desktop, so nothing is squeezed.
    QApplication::setStyle(QStringLiteral("Fusion"));

    StartupOptions options;
    options.programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    options.arguments = QCoreApplication::arguments().mid(1);

    const std::unique_ptr<TDiriduForm> form = createDiriduWindows(options);
    if (form->AnotherInstance)
        return 0;
    form->show();
    return QApplication::exec();
}
