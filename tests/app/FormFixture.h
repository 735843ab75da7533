#pragma once

// A temporary Zorlane installation and the main window started on it with recording
// services, shared by the main window's tests.
#include "Beeper.h"
#include "Dialogs.h"
#include "HelpService.h"
#include "PrinterQueues.h"
#include "SingleInstanceGuard.h"
#include "TDiriduForm.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace fixture {

const QString kDemo = QStringLiteral(DIRIDU_DEMO_INSTALL);

inline void touch(const QString &path, const QByteArray &content = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

inline void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        QDir().mkpath(QFileInfo(target).path());
        QFile::copy(source, target);
    }
}

// A Zorlane installation in a temporary folder: bin/ is the program folder.
struct Installation
{
    QTemporaryDir dir;
    QString root() const { return dir.path() + QLatin1Char('/'); }
    QString bin() const { return root() + QStringLiteral("bin/"); }

    explicit Installation(bool withDemoModels = true)
    {
        QDir(root()).mkpath(QStringLiteral("bin"));
        QDir(root()).mkpath(QStringLiteral("ppd"));
        if (withDemoModels) {
            copyTree(kDemo + QStringLiteral("/ppd"), root() + QStringLiteral("ppd"));
            copyTree(kDemo + QStringLiteral("/Zorlane"), root() + QStringLiteral("Zorlane"));
        }
    }
};

// This test process as the running instance, with a runtime directory of its own, so that
// its window opens its request socket and never meets a Diridu of the user's. A test that
// holds the lock already (in a runtime directory it chose) is left as it is.
struct PrivateInstance
{
    std::unique_ptr<QTemporaryDir> runtime;
    std::unique_ptr<SingleInstanceGuard> guard;

    PrivateInstance()
    {
        if (SingleInstanceGuard::lockHeldByThisProcess())
            return;
        runtime = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
        guard = std::make_unique<SingleInstanceGuard>();
    }
};

// The window as the program creates it, with recording services in place of the real ones.
struct Started
{
    PrivateInstance instance;
    ScopedRecordingDialogs dialogs;
    ScopedRecordingHelpService help;
    ScopedCountingBeeper beeper;
    FixedPrinterQueues queues;
    std::unique_ptr<TDiriduForm> form;

    explicit Started(const Installation &installation,
                     PrinterQueueList printers = {{"Office", "EPSON Stylus Pro 3800"}, "Office"},
                     const QList<QByteArray> &arguments = {})
        : queues(printers.names, printers.defaultName)
    {
        PrinterQueues::setInstance(&queues);
        StartupOptions options;
        options.programFolder = installation.bin();
        options.arguments = arguments;
        form = createDiriduWindows(options);
        QSignalSpy finished(form.get(), &TDiriduForm::deferredStartupFinished);
        form->show();
        QVERIFY(finished.wait(5000));
    }
    ~Started() { PrinterQueues::setInstance(nullptr); }

    template <typename T> T *find(const char *name) const
    {
        return form->findChild<T *>(QLatin1String(name));
    }
    QStringList items(const char *name) const
    {
        QStringList result;
        const auto *box = find<QComboBox>(name);
        for (int i = 0; box && i < box->count(); ++i)
            result.append(box->itemText(i));
        return result;
    }
};

} // namespace fixture
