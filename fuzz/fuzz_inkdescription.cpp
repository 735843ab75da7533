// The ink description reader and the ink set reader on any bytes. A read ends in a
// description within the slot table and at most the error limit's report; writing what
// was read and reading it again gives no error line and the same text.

#include "FuzzInput.h"

#include "InkDescription.h"
#include "ZorError.h"

namespace {

// Models named after their ink sets, as on a "*%INKS" line.
const QStringList &fuzzModels()
{
    static const QStringList models{QStringLiteral("CMYK"), QStringLiteral("PHOTOCMYK7"),
                                    QStringLiteral("PHOTOCMYK8"),
                                    QStringLiteral("K,LK,LLK,C,M,Y,LC,LM")};
    return models;
}

QStringList fuzzInkSet(const QString &model)
{
    return inkSetFromPpd("*%INKS " + model.toLatin1(), model);
}

QByteArray readAndWrite(const QByteArray &text, bool &clean)
{
    InkDescription description =
        newInkDescription(QStringLiteral("CMYK"), fuzzInkSet(QStringLiteral("CMYK")), "100");
    const InkDescriptionLoad load =
        readInkDescription(text, description, fuzzModels(), fuzzInkSet, QLocale::c());
    if (load.errors.size() > 11 || description.inkCount < 1 || description.inkCount > MaxInkSlots)
        std::abort();
    clean = load.errors.isEmpty();
    return inkDescriptionText(description, QStringLiteral("fuzz.zidf"), QLocale::c());
}

void checkInkSet(const QByteArray &text)
{
    try {
        const QStringList inks = inkSetFromPpd(text, QStringLiteral("M"));
        if (inks.isEmpty() || inks.size() > MaxInkSlots)
            std::abort();
        for (const QString &ink : inks) {
            if (inkDisplayName(ink).isEmpty())
                std::abort();
        }
    } catch (const ZorError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzStartQt();
    const QByteArray text = fuzzBytes(data, size);
    bool clean = false;
    const QByteArray written = readAndWrite(text, clean);
    const QByteArray again = readAndWrite(written, clean);
    if (!clean || again != written)
        std::abort();
    checkInkSet(text);
    return 0;
}
