#pragma once

// What the fuzz targets share: a Qt application object (readers that watch folders or
// use the system's text encoding need one) and a private folder in which an input is
// written to a file, for readers that take a path.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QTemporaryDir &fuzzFolder()
{
    static QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "fuzz: cannot make a temporary folder\n");
        std::abort();
    }
    return folder;
}

// Call first in LLVMFuzzerTestOneInput: makes the application object once.
inline void fuzzStartQt()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *application = new QCoreApplication(argc, argv);
    (void)application;
}

// Writes the input to relativePath inside the private folder and returns its path.
inline QString fuzzFile(const QString &relativePath, const uint8_t *data, size_t size)
{
    const QString path = fuzzFolder().filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size)) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
