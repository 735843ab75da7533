#pragma once

// A small installation for Curvewright runs: the demo models' PPD files, an empty curve
// folder for each, and the demo descriptions in Curvewright/. The tool runs in it as the
// front end runs it: started in the install folder with the description's full path.

#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class CurvewrightInstall
{
public:
    bool setUp()
    {
        if (!m_dir.isValid())
            return false;
        QDir root(m_dir.path());
        const QDir demo(QStringLiteral(DIRIDU_DEMO_INSTALL));
        if (!root.mkpath(QStringLiteral("ppd")) || !root.mkpath(QStringLiteral("Curvewright")))
            return false;
        const QStringList ppds = QDir(demo.filePath(QStringLiteral("ppd")))
                                     .entryList({QStringLiteral("*.ppd")}, QDir::Files);
        for (const QString &ppd : ppds) {
            if (!QFile::copy(demo.filePath(QStringLiteral("ppd/") + ppd),
                             root.filePath(QStringLiteral("ppd/") + ppd)) ||
                !root.mkpath(QStringLiteral("Zorlane/") + QFileInfo(ppd).completeBaseName()))
                return false;
            m_models.append(QFileInfo(ppd).completeBaseName());
        }
        const QStringList descriptions = QDir(demo.filePath(QStringLiteral("Curvewright")))
                                             .entryList({QStringLiteral("*.zidf")}, QDir::Files);
        for (const QString &description : descriptions) {
            if (!QFile::copy(demo.filePath(QStringLiteral("Curvewright/") + description),
                             root.filePath(QStringLiteral("Curvewright/") + description)))
                return false;
        }
        return !m_models.isEmpty();
    }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }
    const QStringList &models() const { return m_models; }

    // Writes bytes to the install-relative path, making its folder.
    bool write(const QString &relative, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(filePath(relative)).absolutePath());
        QFile file(filePath(relative));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    ToolRun run(const QString &descriptionPath) const
    {
        return runTool(QStringLiteral(CURVEWRIGHT_PATH), {descriptionPath}, m_dir.path());
    }

    // Every file below Zorlane/, to see that a failed run leaves nothing behind.
    QStringList curveFiles() const
    {
        QStringList files;
        const QDir root(filePath(QStringLiteral("Zorlane")));
        const QStringList folders = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &folder : folders) {
            const QStringList entries =
                QDir(root.filePath(folder)).entryList(QDir::Files | QDir::Hidden);
            for (const QString &entry : entries)
                files.append(folder + u'/' + entry);
        }
        files += QDir(path()).entryList(QDir::Files) + root.entryList(QDir::Files);
        return files;
    }

private:
    QTemporaryDir m_dir;
    QStringList m_models;
};
