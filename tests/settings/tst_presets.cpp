#include "IniFile.h"
#include "Presets.h"
#include "ZorError.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The preset store: the file layout of a saved preset, the deletion step, what a save does to
// the label and the menu, reading a preset back, and the names that are refused.
class TestPresets : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savedPresetFileText();
    void overwriteKeepsOneEntry();
    void caseVariantsShareOneSection();
    void otherKeysOfSectionStay();
    void deletions_data();
    void deletions();
    void deletingReservedNameKeepsSettings();
    void missingSectionReadsDefaults();
    void partialSectionReadsDefaultsForTheRest();
    void unstorableNameThrows();
    void reservedNames_data();
    void reservedNames();
    void acceptableNames_data();
    void acceptableNames();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Diridu.ini")); }
    QByteArray onDisk() const;
    void put(const QByteArray &content) const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

// Lets a failed comparison show both presets.
char *toString(const PresetValues &v)
{
    const QString text = QStringList{v.Curve1Name, v.Curve2Name, v.Blend, v.Dither, v.Resolution,
                                     v.Gamma, v.Limit, QString::number(v.Top, 'g', 17),
                                     QString::number(v.Left, 'g', 17), v.Speed, v.BlackInk}
                             .join(QStringLiteral("|"));
    return qstrdup(text.toUtf8().constData());
}

namespace {

PresetValues sampleValues()
{
    PresetValues v;
    v.Curve1Name = QStringLiteral("Neutral (built-in)");
    v.Curve2Name = QStringLiteral("Sepia");
    v.Blend = QStringLiteral("30");
    v.Dither = QStringLiteral("Error Diffusion");
    v.Resolution = QStringLiteral("1440x720 dpi");
    v.Gamma = QStringLiteral("-3");
    v.Limit = QStringLiteral("12");
    v.Top = 0.25;
    v.Left = 1.5;
    v.Speed = QStringLiteral("Unidirectional");
    v.BlackInk = QStringLiteral("Matte Black");
    return v;
}

PresetValues otherValues()
{
    PresetValues v;
    v.Curve1Name = QStringLiteral("Cool");
    v.Curve2Name = QStringLiteral("Selenium");
    v.Blend = QStringLiteral("75");
    v.Dither = QStringLiteral("Ordered");
    v.Resolution = QStringLiteral("2880x1440 dpi");
    v.Gamma = QStringLiteral("4");
    v.Limit = QStringLiteral("-20");
    v.Top = 12.7;
    v.Left = 0;
    v.Speed = QStringLiteral("Bidirectional");
    v.BlackInk = QStringLiteral("Photo Black");
    return v;
}

QString real(const QString &text)
{
    return QString(text).replace(u'.', QLocale::system().decimalPoint());
}

// Writes presets as a save with a new name and no deletions would.
void savePresets(const QString &path, const QList<std::pair<QString, PresetValues>> &presets)
{
    IniFile ini(path);
    for (const auto &[name, values] : presets)
        writePreset(ini, name, values);
    ini.save();
}

int countSections(const IniFile &ini, const QString &name)
{
    int count = 0;
    for (const QString &section : ini.sections())
        count += section.compare(name, Qt::CaseInsensitive) == 0;
    return count;
}

} // namespace

void TestPresets::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestPresets::onDisk() const
{
    QFile file(iniPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestPresets::put(const QByteArray &content) const
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

void TestPresets::savedPresetFileText()
{
    put("[Options]\r\nDebugging=0\r\n");
    IniFile ini(iniPath());
    const PresetSaveOutcome outcome =
        storePresets(ini, {{}, {QStringLiteral("Warm")}, QStringLiteral("Warm")}, sampleValues(),
                     QString());
    ini.save();

    const QString expected = QStringLiteral("[Options]\r\nDebugging=0\r\n"
                                            "\r\n[Presets]\r\nWarm=Preset\r\n"
                                            "\r\n[Warm]\r\n"
                                            "Curve1Name=Neutral (built-in)\r\n"
                                            "Curve2Name=Sepia\r\n"
                                            "Blend=30\r\n"
                                            "Dither=Error Diffusion\r\n"
                                            "Resolution=1440x720 dpi\r\n"
                                            "Gamma=-3\r\n"
                                            "Limit=12\r\n")
                             + real(QStringLiteral("Top=0.25\r\nLeft=1.5\r\n"))
                             + QStringLiteral("Speed=Unidirectional\r\n"
                                              "BlackInk=Matte Black\r\n");
    QCOMPARE(QString::fromUtf8(onDisk()), expected);
    QCOMPARE(outcome.caption, QStringLiteral("Warm"));
    QVERIFY(outcome.captionVisible);
    QVERIFY(outcome.loadPresetEnabled);
}

void TestPresets::overwriteKeepsOneEntry()
{
    savePresets(iniPath(), {{QStringLiteral("Warm"), sampleValues()},
                            {QStringLiteral("Cool"), sampleValues()}});
    IniFile ini(iniPath());
    storePresets(ini,
                 {{}, {QStringLiteral("Cool"), QStringLiteral("Warm")}, QStringLiteral("Warm")},
                 otherValues(), QStringLiteral("Cool"));
    ini.save();

    const IniFile reread(iniPath());
    QCOMPARE(presetNames(reread), QStringList({QStringLiteral("Warm"), QStringLiteral("Cool")}));
    QCOMPARE(reread.keys(QStringLiteral("Warm")),
             QStringList({"Curve1Name", "Curve2Name", "Blend", "Dither", "Resolution", "Gamma",
                          "Limit", "Top", "Left", "Speed", "BlackInk"}));
    QCOMPARE(readPreset(reread, QStringLiteral("Warm")), otherValues());
    QCOMPARE(readPreset(reread, QStringLiteral("Cool")), sampleValues());
}

void TestPresets::caseVariantsShareOneSection()
{
    savePresets(iniPath(), {{QStringLiteral("Warm"), sampleValues()}});
    IniFile ini(iniPath());
    // The dialog lists both spellings; the file has room for one.
    const PresetSaveOutcome outcome = storePresets(
        ini, {{}, {QStringLiteral("Warm"), QStringLiteral("warm")}, QStringLiteral("warm")},
        otherValues(), QString());
    ini.save();

    const IniFile reread(iniPath());
    QCOMPARE(presetNames(reread), QStringList{QStringLiteral("Warm")});
    QCOMPARE(countSections(reread, QStringLiteral("warm")), 1);
    QCOMPARE(readPreset(reread, QStringLiteral("WARM")), otherValues());
    QCOMPARE(outcome.caption, QStringLiteral("warm"));
}

void TestPresets::otherKeysOfSectionStay()
{
    put("[Warm]\r\nNote=kept\r\nBlend=10\r\n");
    IniFile ini(iniPath());
    writePreset(ini, QStringLiteral("Warm"), sampleValues());
    ini.save();

    const IniFile reread(iniPath());
    QCOMPARE(reread.readString(QStringLiteral("Warm"), QStringLiteral("Note")),
             QStringLiteral("kept"));
    QCOMPARE(reread.keys(QStringLiteral("Warm")).first(), QStringLiteral("Note"));
    QCOMPARE(reread.keys(QStringLiteral("Warm")).size(), 12);
    QCOMPARE(readPreset(reread, QStringLiteral("Warm")), sampleValues());
}

void TestPresets::deletions_data()
{
    QTest::addColumn<QStringList>("inFile");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("pending");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("captionAfter");
    QTest::addColumn<bool>("loadEnabled");
    QTest::addColumn<QStringList>("namesAfter");
    QTest::addColumn<QStringList>("sectionsGone");

    const QStringList warmCool = {"Warm", "Cool"};
    QTest::newRow("deleting the shown preset empties the caption")
        << warmCool << "Warm" << QStringList{"Warm"} << QStringList{"Cool"} << ""
        << "" << true << QStringList{"Cool"} << QStringList{"Warm"};
    QTest::newRow("deleting another keeps the caption")
        << warmCool << "Warm" << QStringList{"Cool"} << QStringList{"Warm"} << ""
        << "Warm" << true << QStringList{"Warm"} << QStringList{"Cool"};
    QTest::newRow("caption matched with letter case")
        << warmCool << "warm" << QStringList{"Cool"} << QStringList{"Warm"} << ""
        << "" << true << QStringList{"Warm"} << QStringList{"Cool"};
    QTest::newRow("deleting the last one disables loading")
        << QStringList{"Warm"} << "" << QStringList{"Warm"} << QStringList{} << ""
        << "" << false << QStringList{} << QStringList{"Warm"};
    QTest::newRow("several in the order deleted")
        << QStringList{"Warm", "Cool", "Hot"} << "Hot" << QStringList{"Warm", "Hot"}
        << QStringList{"Cool"} << "" << "" << true << QStringList{"Cool"}
        << QStringList{"Warm", "Hot"};
    QTest::newRow("deletion and a new name")
        << warmCool << "Warm" << QStringList{"Warm"} << QStringList{"Cool", "Hot"} << "Hot"
        << "Hot" << true << QStringList{"Cool", "Hot"} << QStringList{"Warm"};
    QTest::newRow("deleted and saved again under the same name")
        << warmCool << "Cool" << QStringList{"Warm"} << QStringList{"Cool", "Warm"} << "Warm"
        << "Warm" << true << QStringList{"Cool", "Warm"} << QStringList{};
    QTest::newRow("list rewritten in list order")
        << QStringList{"Zed", "Alpha", "Mid"} << "Zed" << QStringList{"Mid"}
        << QStringList{"Alpha", "Zed"} << "" << "Zed" << true << QStringList{"Alpha", "Zed"}
        << QStringList{"Mid"};
    QTest::newRow("no deletion leaves the caption")
        << warmCool << "Warm" << QStringList{} << QStringList{"Cool", "Hot", "Warm"} << "Hot"
        << "Hot" << true << QStringList{"Warm", "Cool", "Hot"} << QStringList{};
}

void TestPresets::deletions()
{
    QFETCH(QStringList, inFile);
    QFETCH(QString, caption);
    QFETCH(QStringList, pending);
    QFETCH(QStringList, list);
    QFETCH(QString, newName);
    QFETCH(QString, captionAfter);
    QFETCH(bool, loadEnabled);
    QFETCH(QStringList, namesAfter);
    QFETCH(QStringList, sectionsGone);

    QList<std::pair<QString, PresetValues>> presets;
    for (const QString &name : inFile)
        presets.append({name, sampleValues()});
    savePresets(iniPath(), presets);

    IniFile ini(iniPath());
    const PresetSaveOutcome outcome =
        storePresets(ini, {pending, list, newName}, otherValues(), caption);
    ini.save();

    QCOMPARE(outcome.caption, captionAfter);
    QCOMPARE(outcome.captionVisible, !captionAfter.isEmpty());
    QCOMPARE(outcome.loadPresetEnabled, loadEnabled);
    const IniFile reread(iniPath());
    QCOMPARE(presetNames(reread), namesAfter);
    for (const QString &name : sectionsGone)
        QVERIFY2(countSections(reread, name) == 0, qPrintable(name));
    for (const QString &name : inFile) {
        if (sectionsGone.contains(name))
            continue;
        QCOMPARE(readPreset(reread, name), name == newName ? otherValues() : sampleValues());
    }
    if (!newName.isEmpty())
        QCOMPARE(readPreset(reread, newName), otherValues());
}

void TestPresets::deletingReservedNameKeepsSettings()
{
    // A file from before such names were refused.
    put("[Options]\r\nDebugging=1\r\n[Presets]\r\nOptions=Preset\r\nWarm=Preset\r\n");
    IniFile ini(iniPath());
    const bool kept = applyPresetDeletions(ini, {QStringLiteral("Options")},
                                           {QStringLiteral("Warm")}, QStringLiteral("Options"));
    ini.save();

    QVERIFY(!kept);
    const IniFile reread(iniPath());
    QCOMPARE(presetNames(reread), QStringList{QStringLiteral("Warm")});
    QCOMPARE(reread.readString(QStringLiteral("Options"), QStringLiteral("Debugging")),
             QStringLiteral("1"));
}

void TestPresets::missingSectionReadsDefaults()
{
    put("[Presets]\r\nWarm=Preset\r\n");
    const IniFile ini(iniPath());
    PresetValues expected;
    expected.Blend = QStringLiteral("50");
    expected.Gamma = QStringLiteral("0");
    expected.Limit = QStringLiteral("0");
    QCOMPARE(readPreset(ini, QStringLiteral("Warm")), expected);
}

void TestPresets::partialSectionReadsDefaultsForTheRest()
{
    put("[Presets]\r\nWarm=Preset\r\n[warm]\r\ncurve2name=Sepia\r\nGamma=\r\nTop=x\r\n");
    const IniFile ini(iniPath());
    PresetValues expected;
    expected.Curve2Name = QStringLiteral("Sepia");
    expected.Blend = QStringLiteral("50");
    expected.Limit = QStringLiteral("0");
    // Present but empty is not absent.
    expected.Gamma = QString();
    QCOMPARE(readPreset(ini, QStringLiteral("Warm")), expected);
}

void TestPresets::unstorableNameThrows()
{
    IniFile ini(iniPath());
    QVERIFY_THROWS_EXCEPTION(ZorError, writePreset(ini, QStringLiteral("a=b"), sampleValues()));
}

void TestPresets::reservedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("reserved");

    for (const char *section : {"Folders", "CurveCreation", "Options", "RecentFiles", "Printer",
                                "Curves", "Page", "Placement", "Monitoring", "Presets"}) {
        const QString name = QLatin1String(section);
        QTest::addRow("%s", section) << name << true;
        QTest::addRow("%s lower", section) << name.toLower() << true;
        QTest::addRow("%s upper, blanks", section) << (u' ' + name.toUpper() + u'\t') << true;
        QTest::addRow("%s extended", section) << (name + u's') << false;
        QTest::addRow("%s cut", section) << name.chopped(1) << false;
    }
    QTest::newRow("Preset") << "Preset" << false;
    QTest::newRow("Warm") << "Warm" << false;
    QTest::newRow("empty") << "" << false;
}

void TestPresets::reservedNames()
{
    QFETCH(QString, name);
    QFETCH(bool, reserved);
    QCOMPARE(isReservedPresetName(name), reserved);
}

void TestPresets::acceptableNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("plain") << "Warm" << true;
    QTest::newRow("words and digits") << "Warm Tone 2" << true;
    QTest::newRow("accented") << QStringLiteral("Sépia doux") << true;
    QTest::newRow("brackets inside") << "Cool [old]" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("leading blank") << " Warm" << false;
    QTest::newRow("trailing blank") << "Warm " << false;
    QTest::newRow("equals sign") << "a=b" << false;
    QTest::newRow("comment") << ";Warm" << false;
    QTest::newRow("section-like") << "[Warm]" << false;
    QTest::newRow("line break") << "Wa\nrm" << false;
    QTest::newRow("reserved") << "curves" << false;
}

void TestPresets::acceptableNames()
{
    QFETCH(QString, name);
    QFETCH(bool, acceptable);
    QCOMPARE(isAcceptablePresetName(name), acceptable);
    if (acceptable) {
        // What is accepted must store and read back under the same name.
        IniFile ini(iniPath());
        writePreset(ini, name, sampleValues());
        ini.save();
        const IniFile reread(iniPath());
        QCOMPARE(presetNames(reread), QStringList{name});
        QCOMPARE(readPreset(reread, name), sampleValues());
    }
}

QTEST_GUILESS_MAIN(TestPresets)
#include "tst_presets.moc"
