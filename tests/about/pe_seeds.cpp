// Writes a few executable images with version resources into the folder named on the
// command line: the seed corpus of the version reader's fuzz target.
#include "PeBuilder.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pe_seeds <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    pe::Image full;
    full.strings = pe::allStrings();
    pe::Image plus = full;
    plus.pe32Plus = true;
    pe::Image dll = full;
    dll.dll = true;
    dll.fileType = 2;
    pe::Image driver;
    driver.fileType = 3;
    driver.fileSubtype = 1;
    driver.strings = {{"FileVersion", "1, 0, 0, 3"}};
    pe::Image untranslated = full;
    untranslated.withTranslation = false;
    pe::Image bare;
    bare.withResources = false;
    const QList<QPair<const char *, pe::Image>> seeds = {{"application.exe", full},
                                                         {"application64.exe", plus},
                                                         {"library.dll", dll},
                                                         {"printer-driver.drv", driver},
                                                         {"no-translation.exe", untranslated},
                                                         {"no-resource.exe", bare}};
    for (const auto &[name, image] : seeds) {
        QFile file(folder.filePath(QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly) || file.write(pe::build(image)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
