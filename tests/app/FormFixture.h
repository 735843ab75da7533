#pragma once

// A temporary Zorlane installation and the main window started on it with recording
// services, shared by the main window's tests.
#include "Beeper.h"
#include "Dialogs.h"
#include "HelpService.h"
#include "PrinterQueues.h"
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

// The window as the program creates it, with recording services in place of the real ones.
struct Started
{
    ScopedRecordingDialogs dialogs;
    ScopedRecordingHelpService help;
    ScopedCountingBeeper beeper;
    FixedPrinterQueues queues;
    std::unique_ptr<TDiriduForm> form;

    explicit Started(const Installation &installation,
                     PrinterQueueList printers = {{"Office", "EPSON Stylus Pro 3800"}, "Office"})
        : queues(printers.names, printers.defaultName)
    {
        PrinterQueues::setInstance(&queues);
        StartupOptions options;
        options.programFolder = installation.bin();
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
