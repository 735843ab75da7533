#include "DiriduProgram.h"

#include "ApplicationTitle.h"
#include "TDiriduForm.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"
#include "TerminationWatcher.h"

#include <QApplication>

#include <cstdio>

int runDiridu(int argc, char **argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Diridu"));
    QCoreApplication::setApplicationVersion(guiVersion());
    // Lets the desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.diridu.Diridu"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The window has a fixed, designed size: Fusion keeps control metrics the same on
    // every desktop, so nothing is squeezed.
    QApplication::setStyle(QStringLiteral("Fusion"));

    // Asked to end by the system or the desktop session: leave through the normal exit
    // path, so the settings of this run are kept. Watched from the start; a request that
    // comes during start-up is handled once the window exists.
    TerminationWatcher termination;

    StartupOptions options;
    options.programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    // The running instance and the tools work in other folders than the caller's.
    options.arguments = absolutePaths(commandLineArguments(argc, argv), currentFolder());

    // A second start hands its files to the running instance, which comes to the front,
    // and ends without a window. The guard holds the lock until this process ends.
    const SingleInstanceGuard guard;
    if (guard.isAnotherInstance()) {
        if (guard.handOver(options.arguments))
            return 0;
        // Nothing else can tell the caller: this process has no window.
        std::fprintf(stderr, "Diridu: the running Diridu could not be handed the files.\n");
        return 1;
    }

    const std::unique_ptr<TDiriduForm> form = createDiriduWindows(options);
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, form.get(),
                     &TDiriduForm::EndProgram);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, form.get(),
                     &TDiriduForm::EndProgram);
    // Unlike quit(), which a window or a message box may refuse, this ends every event loop,
    // the nested ones of open boxes too.
    QObject::connect(form.get(), &TDiriduForm::leaving, &application,
                     [] { QCoreApplication::exit(0); });
    form->show();
    return QApplication::exec();
}
