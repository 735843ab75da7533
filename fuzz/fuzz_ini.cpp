// The settings file on any bytes: every section and key read in each value type, one
// key changed and the file written back and read again.

#include "FuzzInput.h"

#include "IniFile.h"
#include "ZorError.h"

namespace {

void readEverything(const IniFile &ini)
{
    for (const QString &section : ini.sections()) {
        ini.sectionHasKeys(section);
        for (const QString &key : ini.keys(section)) {
            const QString text = ini.readString(section, key);
            IniValue::toReal(text, u",");
            ini.readBool(section, key, false);
            ini.readReal(section, key, 0.0);
            try {
                ini.readInteger(section, key, 0);
            } catch (const ZorError &) {
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzStartQt();
    const QString path = fuzzFile(QStringLiteral("Diridu.ini"), data, size);
    try {
        IniFile ini(path);
        readEverything(ini);
        const QStringList sections = ini.sections();
        const QString section = sections.isEmpty() ? QStringLiteral("Main") : sections.constLast();
        if (IniFile::isValidSectionName(section)) {
            ini.writeString(section, QStringLiteral("Key"), QStringLiteral(" value "));
            ini.writeReal(section, QStringLiteral("Gamma"), 1.25);
            if (!sections.isEmpty())
                ini.eraseSection(sections.constFirst());
            ini.save();
            readEverything(IniFile(path));
        }
    } catch (const ZorError &) {
    }
    return 0;
}
