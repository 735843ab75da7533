#pragma once

#include "CurveFolderWatch.h"
#include "PlainOptionBox.h"
#include "PpdLoader.h"
#include "TPrintingModel.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// A throw-away installation (install folder with a ppd folder) with the nine option
// boxes, a model record and a loader over them.
class TestInstall
{
public:
    TestInstall() { QDir(m_dir.path()).mkpath(QStringLiteral("ppd")); }

    QString folder() const { return m_dir.path() + u'/'; }

    // Writes file below the install folder, creating its folders; returns its path.
    QString write(const QString &relativePath, const QByteArray &content) const
    {
        const QString path = folder() + relativePath;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

    QString writePpd(const QString &model, const QStringList &lines) const
    {
        return write(QStringLiteral("ppd/") + model + QStringLiteral(".ppd"),
                     lines.join(u'\n').toLatin1() + '\n');
    }

    void load(const QString &model) { loader.LoadPPD(folder(), model); }

    // Each value list must stay in step with its box, whatever the file held.
    bool listsInStep() const
    {
        return paperSize.count() == model.PageSizeValues.size() &&
               ditherType.count() == model.DitherValues.size() &&
               resolution.count() == model.ResolutionValues.size() &&
               paperFeed.count() == model.FeedValues.size() &&
               curve1.count() == model.Curve1Values.size() &&
               curve2.count() == model.Curve2Values.size() &&
               mediaType.count() == model.MediaValues.size() &&
               ripBlack.count() == model.BlackValues.size() &&
               ripSpeed.count() == model.SpeedValues.size();
    }

private:
    QTemporaryDir m_dir;

public:
    TPrintingModel model;
    PlainOptionBox paperSize, ditherType, resolution, paperFeed, curve1, curve2, mediaType,
        ripBlack, ripSpeed;
    CurveFolderWatch watch;
    PpdLoader loader{model,
                     PrintingModelBoxes{&paperSize, &ditherType, &resolution, &paperFeed, &curve1,
                                        &curve2, &mediaType, &ripBlack, &ripSpeed},
                     watch};
};
