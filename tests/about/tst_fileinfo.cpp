#include "InstalledToolVersions.h"
#include "PeBuilder.h"
#include "TFileInfo.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList stringFields(const TFileVersionInfo &info)
{
    return {info.CompanyName,    info.FileDescription, info.FileVersion,      info.InternalName,
            info.LegalCopyRight, info.LegalTradeMarks, info.OriginalFileName, info.ProductName,
            info.ProductVersion, info.Comments,        info.SpecialBuild,     info.PrivateBuild};
}

QStringList values(const QList<QPair<QString, QString>> &strings)
{
    QStringList result;
    for (const auto &pair : strings)
        result.append(pair.second);
    return result;
}

bool allEmpty(const TFileVersionInfo &info)
{
    const QStringList fields = stringFields(info);
    return std::all_of(fields.begin(), fields.end(),
                       [](const QString &s) { return s.isEmpty(); }) &&
           info.FileKind == 0 && !info.IsDebug && !info.IsPrerelease && !info.IsPatched &&
           !info.IsPrivateBuild && !info.IsSpecialBuild && !info.IsInfoInferred;
}

} // namespace

class TestFileInfo : public QObject
{
    Q_OBJECT

private slots:
    void readsTheTwelveKeys_data();
    void readsTheTwelveKeys();
    void translationNamesTheStringTable_data();
    void translationNamesTheStringTable();
    void fileKindCodes_data();
    void fileKindCodes();
    void fileKindFromTheImage_data();
    void fileKindFromTheImage();
    void flagsNeedTheirMask_data();
    void flagsNeedTheirMask();
    void imagesWithoutVersionsGiveNothing_data();
    void imagesWithoutVersionsGiveNothing();
    void notAnExecutableGivesOnlyTheTypeName();
    void missingFileGivesNothing();
    void truncatedImagesNeverCrash();
    void hostileBytesNeverCrash();
    void toolVersionsFromResourceOrTool();
};

void TestFileInfo::readsTheTwelveKeys_data()
{
    QTest::addColumn<bool>("pe32Plus");
    QTest::addColumn<bool>("dll");
    QTest::newRow("32-bit application") << false << false;
    QTest::newRow("64-bit application") << true << false;
    QTest::newRow("DLL") << false << true;
}

void TestFileInfo::readsTheTwelveKeys()
{
    QFETCH(bool, pe32Plus);
    QFETCH(bool, dll);
    pe::Image image;
    image.pe32Plus = pe32Plus;
    image.dll = dll;
    image.fileType = dll ? 2 : 1;
    image.strings = pe::allStrings();
    const QByteArray bytes = pe::build(image);
    QVERIFY(isWindowsExecutable(bytes));
    const TFileVersionInfo info = readVersionResource(bytes);
    QCOMPARE(stringFields(info), values(pe::allStrings()));
    QCOMPARE(int(info.FileKind), dll ? 2 : 1);
}

void TestFileInfo::translationNamesTheStringTable_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<bool>("found");
    QTest::newRow("0409/04E4 upper-case table") << 0x0409 << 0x04E4 << "040904E4" << true;
    QTest::newRow("0409/04E4 lower-case table") << 0x0409 << 0x04E4 << "040904e4" << true;
    QTest::newRow("German, Unicode") << 0x0407 << 0x04B0 << "040704B0" << true;
    QTest::newRow("table of another language") << 0x0409 << 0x04E4 << "040704B0" << false;
}

void TestFileInfo::translationNamesTheStringTable()
{
    QFETCH(int, language);
    QFETCH(int, codePage);
    QFETCH(QString, tableName);
    QFETCH(bool, found);
    pe::Image image;
    image.language = std::uint16_t(language);
    image.codePage = std::uint16_t(codePage);
    image.tableName = tableName;
    image.strings = {{"FileVersion", "1, 2, 3, 4"}};
    const TFileVersionInfo info = readVersionResource(pe::build(image));
    QCOMPARE(info.FileVersion, found ? QStringLiteral("1, 2, 3, 4") : QString());
    // The fixed information does not depend on the translation.
    QCOMPARE(int(info.FileKind), 1);
}

void TestFileInfo::fileKindCodes_data()
{
    QTest::addColumn<uint>("fileType");
    QTest::addColumn<uint>("subtype");
    QTest::addColumn<int>("code");
    QTest::newRow("unknown") << 0u << 0u << 0;
    QTest::newRow("application") << 1u << 0u << 1;
    QTest::newRow("library") << 2u << 0u << 2;
    QTest::newRow("static library") << 7u << 0u << 3;
    QTest::newRow("driver") << 3u << 0u << 4;
    QTest::newRow("driver: communications") << 3u << 10u << 5;
    QTest::newRow("driver: printer") << 3u << 1u << 6;
    QTest::newRow("driver: keyboard") << 3u << 2u << 7;
    QTest::newRow("driver: language") << 3u << 3u << 8;
    QTest::newRow("driver: display") << 3u << 4u << 9;
    QTest::newRow("driver: mouse") << 3u << 5u << 10;
    QTest::newRow("driver: network") << 3u << 6u << 11;
    QTest::newRow("driver: system") << 3u << 7u << 12;
    QTest::newRow("driver: installable") << 3u << 8u << 12;
    QTest::newRow("driver: sound") << 3u << 9u << 14;
    QTest::newRow("driver: versioned printer") << 3u << 12u << 0;
    QTest::newRow("font") << 4u << 0u << 15;
    QTest::newRow("font: raster") << 4u << 1u << 16;
    QTest::newRow("font: vector") << 4u << 2u << 17;
    QTest::newRow("font: TrueType") << 4u << 3u << 18;
    QTest::newRow("font: other") << 4u << 4u << 0;
    QTest::newRow("virtual device") << 5u << 0u << 19;
    QTest::newRow("type 6") << 6u << 0u << 0;
    QTest::newRow("huge type") << 0xFFFFFFFFu << 1u << 0;
}

void TestFileInfo::fileKindCodes()
{
    QFETCH(uint, fileType);
    QFETCH(uint, subtype);
    QFETCH(int, code);
    QCOMPARE(int(fileKindCode(fileType, subtype)), code);
}

void TestFileInfo::fileKindFromTheImage_data()
{
    QTest::addColumn<uint>("fileType");
    QTest::addColumn<uint>("subtype");
    QTest::addColumn<int>("code");
    QTest::newRow("printer driver") << 3u << 1u << 6;
    QTest::newRow("sound driver") << 3u << 9u << 14;
    QTest::newRow("TrueType font") << 4u << 3u << 18;
}

void TestFileInfo::fileKindFromTheImage()
{
    QFETCH(uint, fileType);
    QFETCH(uint, subtype);
    QFETCH(int, code);
    pe::Image image;
    image.fileType = fileType;
    image.fileSubtype = subtype;
    QCOMPARE(int(readVersionResource(pe::build(image)).FileKind), code);
}

void TestFileInfo::flagsNeedTheirMask_data()
{
    QTest::addColumn<uint>("mask");
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QList<bool>>(
        "expected"); // debug, prerelease, inferred, private, patched, special
    QTest::newRow("all set, all masked") << 0x3Fu << 0x3Fu << QList<bool>(6, true);
    QTest::newRow("all set, none masked") << 0u << 0x3Fu << QList<bool>(6, false);
    QTest::newRow("debug") << 0x3Fu << 0x1u << QList<bool>{true, false, false, false, false, false};
    QTest::newRow("prerelease") << 0x3Fu << 0x2u
                                << QList<bool>{false, true, false, false, false, false};
    QTest::newRow("patched") << 0x3Fu << 0x4u
                             << QList<bool>{false, false, false, false, true, false};
    QTest::newRow("private build")
        << 0x3Fu << 0x8u << QList<bool>{false, false, false, true, false, false};
    QTest::newRow("special build")
        << 0x3Fu << 0x10u << QList<bool>{false, false, false, false, false, true};
    QTest::newRow("info inferred")
        << 0x3Fu << 0x20u << QList<bool>{false, false, true, false, false, false};
    QTest::newRow("debug masked away")
        << 0x3Eu << 0x3u << QList<bool>{false, true, false, false, false, false};
}

void TestFileInfo::flagsNeedTheirMask()
{
    QFETCH(uint, mask);
    QFETCH(uint, flags);
    QFETCH(QList<bool>, expected);
    pe::Image image;
    image.flagsMask = mask;
    image.flags = flags;
    const TFileVersionInfo info = readVersionResource(pe::build(image));
    QCOMPARE((QList<bool>{info.IsDebug, info.IsPrerelease, info.IsInfoInferred, info.IsPrivateBuild,
                          info.IsPatched, info.IsSpecialBuild}),
             expected);
}

void TestFileInfo::imagesWithoutVersionsGiveNothing_data()
{
    QTest::addColumn<bool>("withResources");
    QTest::addColumn<bool>("withVersion");
    QTest::addColumn<bool>("withTranslation");
    QTest::addColumn<int>("kind");
    QTest::newRow("no resources") << false << false << true << 0;
    QTest::newRow("resources without a version") << true << false << true << 0;
    // The strings need the translation; the fixed information does not.
    QTest::newRow("no translation") << true << true << false << 1;
}

void TestFileInfo::imagesWithoutVersionsGiveNothing()
{
    QFETCH(bool, withResources);
    QFETCH(bool, withVersion);
    QFETCH(bool, withTranslation);
    QFETCH(int, kind);
    pe::Image image;
    image.withResources = withResources;
    image.withVersion = withVersion;
    image.withTranslation = withTranslation;
    image.strings = pe::allStrings();
    const QByteArray bytes = pe::build(image);
    QVERIFY(isWindowsExecutable(bytes));
    const TFileVersionInfo info = readVersionResource(bytes);
    QCOMPARE(stringFields(info), QStringList(12));
    QCOMPARE(int(info.FileKind), kind);
}

void TestFileInfo::notAnExecutableGivesOnlyTheTypeName()
{
    QTemporaryDir dir;
    const QString script = writeFile(dir, "Inkforge", "#!/bin/sh\necho 1, 2, 3, 4\n");
    const TFileInfo info(script);
    QVERIFY(!info.isExecutable());
    const TFileVersionInfo read = info.read();
    QCOMPARE(read.TypeName, QStringLiteral("shell script"));
    QVERIFY(allEmpty(read));

    const QString exe = writeFile(dir, "Rastermill.exe", pe::build(pe::Image()));
    QVERIFY(TFileInfo(exe).isExecutable());
    QVERIFY(!TFileInfo(exe).read().TypeName.isEmpty());
}

void TestFileInfo::missingFileGivesNothing()
{
    const TFileInfo info(QStringLiteral("/nonexistent/Rastermill.exe"));
    QVERIFY(!info.isExecutable());
    const TFileVersionInfo read = info.read();
    QVERIFY(read.TypeName.isEmpty());
    QVERIFY(allEmpty(read));
}

// Every prefix of a good image: each read stays in bounds and what is read is either
// nothing or what the full image says.
void TestFileInfo::truncatedImagesNeverCrash()
{
    pe::Image image;
    image.strings = pe::allStrings();
    const QByteArray bytes = pe::build(image);
    const QStringList full = stringFields(readVersionResource(bytes));
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const QByteArray cut = bytes.left(length);
        const QStringList read = stringFields(readVersionResource(cut));
        for (int i = 0; i < read.size(); ++i)
            QVERIFY2(full.at(i).startsWith(read.at(i)), qPrintable(QString::number(length)));
    }
    QVERIFY(!isWindowsExecutable(bytes.left(0x40)));
}

// Random bytes over every part of a good image; run under the sanitizers this finds any
// read outside the buffer.
void TestFileInfo::hostileBytesNeverCrash()
{
    pe::Image image;
    image.strings = pe::allStrings();
    const QByteArray good = pe::build(image);
    QRandomGenerator random(20261208);
    int stillReadable = 0;
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes = good;
        const int changes = 1 + int(random.bounded(8));
        for (int i = 0; i < changes; ++i)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        if (!readVersionResource(bytes).FileVersion.isEmpty())
            ++stillReadable;
    }
    // Most single changes land in padding or text: the reader keeps what it can.
    QVERIFY(stillReadable > 0);

    // Every directory offset, count and length at its extreme.
    for (qsizetype at = 0; at + 4 <= good.size(); at += 2) {
        for (const char fill : {char(0x00), char(0xFF), char(0x7F)}) {
            QByteArray bytes = good;
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = fill;
            readVersionResource(bytes);
        }
    }
}

void TestFileInfo::toolVersionsFromResourceOrTool()
{
    QTemporaryDir dir;
    pe::Image withCommas;
    withCommas.strings = {{"FileVersion", "1, 2, 3, 4"}};
    pe::Image withPoints;
    withPoints.strings = {{"FileVersion", "1.2.3.4"}};
    pe::Image withoutResource;
    withoutResource.withResources = false;
    const QStringList tools = {
        writeFile(dir, "Inkforge.exe", pe::build(withCommas)),
        writeFile(dir, "Rastermill.exe", pe::build(withPoints)),
        writeFile(dir, "Plain.exe", pe::build(withoutResource)),
        writeFile(dir, "Spoolgate", "#!/bin/sh\necho '3, 0, 2, 7'\n"),
        dir.filePath("Missing"),
    };
    QCOMPARE(readInstalledToolVersions(tools, 5000),
             QStringList({"1.2.3.4", "1.2.3.4", "", "3.0.2.7", ""}));
}

QTEST_GUILESS_MAIN(TestFileInfo)
#include "tst_fileinfo.moc"
