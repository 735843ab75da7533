#include "IniFile.h"
#include "ZorError.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

// The settings file: value read rules, the private-profile editing rules checked on the
// exact file text, atomic writes, the recovery copy and damaged files.
class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void integerRules_data();
    void integerRules();
    void booleanRules_data();
    void booleanRules();
    void realRules_data();
    void realRules();
    void realText_data();
    void realText();
    void missingGivesDefault();
    void valueForms_data();
    void valueForms();
    void writtenValueReadsBack_data();
    void writtenValueReadsBack();
    void nameMatching_data();
    void nameMatching();
    void writeLayout_data();
    void writeLayout();
    void eraseSection();
    void listingAndDeleting();
    void otherLinesKept();
    void unchangedFileNotRewritten();
    void invalidNamesRefused();
    void writeToMissingFolderFails();
    void failedWriteKeepsOldFile();
    void unreadablePathIsNotReplaced();
    void backUpAndRemove();
    void hostile_data();
    void hostile();
    void tooLargeRefused();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("Diridu.ini")); }
    void put(const QByteArray &content) const;
    QByteArray onDisk() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Ends with SIGXFSZ ignored, so that writing past the limit fails like a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr int slowdown = 3;
#else
constexpr int slowdown = 1;
#endif

} // namespace

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::put(const QByteArray &content) const
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

QByteArray TestIniFile::onDisk() const
{
    return contentOf(iniPath());
}

void TestIniFile::integerRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "5" << true << 5;
    QTest::newRow("leading blank") << " 5" << true << 5;
    QTest::newRow("minus") << "-3" << true << -3;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("trailing letters") << "12abc" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("hexadecimal") << "0x10" << false << 0;
    QTest::newRow("decimal point") << "5.0" << false << 0;
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("far too large") << "99999999999999999999999999" << false << 0;
}

void TestIniFile::integerRules()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const auto converted = IniValue::toInteger(text);
    QCOMPARE(converted.has_value(), valid);
    if (valid)
        QCOMPARE(*converted, value);

    put("[Options]\r\nRecentFileCount=" + text.toLocal8Bit() + "\r\n");
    const IniFile ini(iniPath());
    try {
        const int read = ini.readInteger(QStringLiteral("Options"),
                                         QStringLiteral("RecentFileCount"), 99);
        QVERIFY2(valid, "no error for a text that is not an integer");
        QCOMPARE(read, value);
    } catch (const ZorError &error) {
        QVERIFY2(!valid, qPrintable(error.message()));
        QVERIFY(error.message().contains(QLatin1String("RecentFileCount")));
        QVERIFY(error.message().contains(QLatin1String("[Options]")));
    }
}

void TestIniFile::booleanRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: not an integer, the default applies
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("hexadecimal") << "0x10" << 1;
    QTest::newRow("hexadecimal zero") << "0X0" << 0;
    QTest::newRow("negative") << "-1" << 1;
    QTest::newRow("two") << "2" << 1;
    QTest::newRow("word") << "yes" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("prefix only") << "0x" << -1;
    QTest::newRow("bad hex digit") << "0x1g" << -1;
    QTest::newRow("hex above 32 bits") << "0x100000000" << -1;
    QTest::newRow("trailing letters") << "1abc" << -1;
}

void TestIniFile::booleanRules()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    const auto converted = IniValue::toBoolean(text);
    QCOMPARE(converted.has_value(), expected >= 0);
    if (converted)
        QCOMPARE(int(*converted), expected);

    put("[Options]\r\nDebugging=" + text.toLocal8Bit() + "\r\n");
    const IniFile ini(iniPath());
    for (const bool defaultValue : {false, true}) {
        const bool read = ini.readBool(QStringLiteral("Options"), QStringLiteral("Debugging"),
                                       defaultValue);
        QCOMPARE(read, expected < 0 ? defaultValue : expected == 1);
    }
}

void TestIniFile::realRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("point under point") << "8.5" << "." << true << 8.5;
    QTest::newRow("comma under point") << "8,5" << "." << false << 0.0;
    QTest::newRow("comma under comma") << "8,5" << "," << true << 8.5;
    QTest::newRow("point under comma") << "8.5" << "," << false << 0.0;
    QTest::newRow("exponent, point") << "1e3" << "." << true << 1000.0;
    QTest::newRow("exponent, comma") << "1e3" << "," << true << 1000.0;
    QTest::newRow("negative fraction") << "-0,25" << "," << true << -0.25;
    QTest::newRow("signed exponent") << "1.5E-3" << "." << true << 0.0015;
    QTest::newRow("no integer part") << ".5" << "." << true << 0.5;
    QTest::newRow("no fraction digits") << "5." << "." << true << 5.0;
    QTest::newRow("blanks around") << " 2.5 " << "." << true << 2.5;
    QTest::newRow("letters") << "abc" << "." << false << 0.0;
    QTest::newRow("empty") << "" << "." << false << 0.0;
    QTest::newRow("separator only") << "." << "." << false << 0.0;
    QTest::newRow("two separators") << "1.2.3" << "." << false << 0.0;
    QTest::newRow("grouping") << "1,000.5" << "." << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << "." << false << 0.0;
    QTest::newRow("trailing letters") << "8.5cm" << "." << false << 0.0;
    QTest::newRow("infinity") << "inf" << "." << false << 0.0;
    QTest::newRow("out of range") << "1e999" << "." << false << 0.0;
}

void TestIniFile::realRules()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(bool, valid);
    QFETCH(double, value);

    const auto converted = IniValue::toReal(text, separator);
    QCOMPARE(converted.has_value(), valid);
    if (valid)
        QCOMPARE(*converted, value);

    // The file reads with the system's separator; rows for another one are checked above.
    if (separator != QLocale::system().decimalPoint())
        return;
    put("[Page]\r\nWidth=" + text.toLocal8Bit() + "\r\n");
    const IniFile ini(iniPath());
    QCOMPARE(ini.readReal(QStringLiteral("Page"), QStringLiteral("Width"), -42.0),
             valid ? value : -42.0);
}

void TestIniFile::realText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("fraction, point") << 8.5 << "." << "8.5";
    QTest::newRow("fraction, comma") << 8.5 << "," << "8,5";
    QTest::newRow("whole number") << 210.0 << "." << "210";
    QTest::newRow("negative") << -0.75 << "," << "-0,75";
    QTest::newRow("negative zero") << -0.0 << "." << "0";
    QTest::newRow("binary noise rounded away") << 0.1 + 0.2 << "." << "0.3";
    QTest::newRow("fifteen digits") << 2.0 / 3.0 << "." << "0.666666666666667";
    QTest::newRow("fifteen integer digits") << 123456789012345.0 << "." << "123456789012345";
    QTest::newRow("sixteen integer digits") << 1234567890123456.0 << "," << "1,23456789012346e+15";
    QTest::newRow("very large") << 1e20 << "." << "1e+20";
    QTest::newRow("small") << 0.0001 << "." << "0.0001";
    QTest::newRow("very small") << 0.000015 << "," << "1,5e-05";
}

void TestIniFile::realText()
{
    QFETCH(double, value);
    QFETCH(QString, separator);
    QFETCH(QString, text);

    QCOMPARE(IniValue::fromReal(value, separator), text);
    const auto back = IniValue::toReal(text, separator);
    QVERIFY(back.has_value());
    QVERIFY(std::abs(*back - value) <= std::abs(value) * 1e-14);

    IniFile ini(iniPath());
    ini.writeReal(QStringLiteral("Page"), QStringLiteral("Width"), value);
    ini.save();
    QString systemText = text;
    systemText.replace(separator, QLocale::system().decimalPoint());
    QCOMPARE(onDisk(), "[Page]\r\nWidth=" + systemText.toLocal8Bit() + "\r\n");
    QCOMPARE(IniFile(iniPath()).readReal(QStringLiteral("Page"), QStringLiteral("Width"), -1),
             *back);
}

void TestIniFile::missingGivesDefault()
{
    const auto check = [](const IniFile &ini, const QString &section) {
        QCOMPARE(ini.readString(section, QStringLiteral("Key"), QStringLiteral("dflt")),
                 QStringLiteral("dflt"));
        QCOMPARE(ini.readInteger(section, QStringLiteral("Key"), 5), 5);
        QCOMPARE(ini.readBool(section, QStringLiteral("Key"), true), true);
        QCOMPARE(ini.readReal(section, QStringLiteral("Key"), 8.5), 8.5);
        QVERIFY(ini.keys(section).isEmpty());
        QVERIFY(!ini.sectionHasKeys(section));
    };
    check(IniFile(iniPath()), QStringLiteral("Page")); // no file at all
    QVERIFY(!QFile::exists(iniPath()));
    put("[Page]\r\nOther=1\r\n");
    check(IniFile(iniPath()), QStringLiteral("Curves"));
    const IniFile ini(iniPath());
    QCOMPARE(ini.readString(QStringLiteral("Page"), QStringLiteral("Key"), QStringLiteral("d")),
             QStringLiteral("d"));
}

void TestIniFile::valueForms_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("K=abc") << "abc";
    QTest::newRow("blanks around") << QByteArray("  K \t=  a b  \t") << "a b";
    QTest::newRow("double quotes") << QByteArray("K=\"abc\"") << "abc";
    QTest::newRow("single quotes") << QByteArray("K= 'abc' ") << "abc";
    QTest::newRow("quoted blanks") << QByteArray("K=\" x \"") << " x ";
    QTest::newRow("empty quotes") << QByteArray("K=''") << "";
    QTest::newRow("quotes not matching") << QByteArray("K=\"abc'") << "\"abc'";
    QTest::newRow("one quote") << QByteArray("K=\"") << "\"";
    QTest::newRow("only one pair removed") << QByteArray("K=\"\"x\"\"") << "\"x\"";
    QTest::newRow("second equals sign") << QByteArray("K=a=b") << "a=b";
    QTest::newRow("empty") << QByteArray("K=") << "";
    QTest::newRow("non-ASCII") << QString("K=Wärme").toLocal8Bit() << "Wärme";
}

void TestIniFile::valueForms()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, value);
    put("[S]\r\n" + line + "\r\n");
    QCOMPARE(IniFile(iniPath()).readString(QStringLiteral("S"), QStringLiteral("K"),
                                           QStringLiteral("default")),
             value);
}

void TestIniFile::writtenValueReadsBack_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("plain") << "abc" << "abc";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("leading blank") << " lead" << " lead";
    QTest::newRow("trailing blank") << "/tmp/trail " << "/tmp/trail ";
    QTest::newRow("enclosed in quotes") << "\"q\"" << "\"q\"";
    QTest::newRow("enclosed in single quotes") << "'q'" << "'q'";
    QTest::newRow("one quote") << "'" << "'";
    QTest::newRow("equals sign") << "a=b" << "a=b";
    QTest::newRow("semicolon") << "; not a comment" << "; not a comment";
    QTest::newRow("line breaks") << "x\ny\r\nz" << "x y  z";
    QTest::newRow("non-ASCII") << "Wärme ✓" << "Wärme ✓";
}

void TestIniFile::writtenValueReadsBack()
{
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    put("[S]\r\nA=1\r\n");
    {
        IniFile ini(iniPath());
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), value);
        ini.save();
    }
    const IniFile ini(iniPath());
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("K")), readBack);
    QCOMPARE(ini.keys(QStringLiteral("S")), QStringList({"A", "K"}));
    QCOMPARE(ini.readString(QStringLiteral("S"), QStringLiteral("A")), QStringLiteral("1"));
}

void TestIniFile::nameMatching_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // empty: not found
    const QByteArray options = "[Options]\r\nRecentFileCount=7\r\n";
    QTest::newRow("same case") << options << "Options" << "RecentFileCount" << "7";
    QTest::newRow("upper case") << options << "OPTIONS" << "RECENTFILECOUNT" << "7";
    QTest::newRow("lower case") << options << "options" << "recentfilecount" << "7";
    QTest::newRow("blanks around the query") << options << " Options " << "\tRecentFileCount"
                                             << "7";
    QTest::newRow("blanks in the file") << QByteArray("  [ Options ]  \r\n  RecentFileCount =7\r\n")
                                        << "Options" << "RecentFileCount" << "7";
    QTest::newRow("other name") << options << "Option" << "RecentFileCount" << "";
    QTest::newRow("prefix of a key") << options << "Options" << "RecentFile" << "";
    QTest::newRow("non-ASCII") << QString("[Wärme]\r\nGrün=1\r\n").toLocal8Bit() << "WÄRME"
                               << "grÜn" << "1";
    QTest::newRow("first of two sections") << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\n") << "A"
                                           << "K" << "1";
    QTest::newRow("first of two keys") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << "a" << "k"
                                       << "1";
    QTest::newRow("name up to the last bracket") << QByteArray("[a]b]\r\nk=1\r\n") << "a]b"
                                                 << "k" << "1";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[A]\r\n") << "A" << "k"
                                            << "";
}

void TestIniFile::nameMatching()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    put(content);
    const IniFile ini(iniPath());
    QCOMPARE(ini.readString(section, key), value);
}

void TestIniFile::writeLayout_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("after the last key")
        << QByteArray("[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n") << "A" << "c"
        << QByteArray("[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n");
    QTest::newRow("before a comment of the next section")
        << QByteArray("[A]\r\na=1\r\n; about B\r\n[B]\r\n") << "A" << "c"
        << QByteArray("[A]\r\na=1\r\nc=3\r\n; about B\r\n[B]\r\n");
    QTest::newRow("section without keys")
        << QByteArray("[A]\r\n\r\n[B]\r\n") << "a" << "c"
        << QByteArray("[A]\r\nc=3\r\n\r\n[B]\r\n");
    QTest::newRow("last section") << QByteArray("[B]\r\nb=2\r\n[A]\r\na=1") << "A" << "c"
                                  << QByteArray("[B]\r\nb=2\r\n[A]\r\na=1\r\nc=3\r\n");
    QTest::newRow("LF lines become CR LF")
        << QByteArray("[A]\na=1\n\n[B]\nb=2\n") << "A" << "c"
        << QByteArray("[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\nb=2\r\n");
    QTest::newRow("new section after a blank line")
        << QByteArray("[B]\r\nb=2\r\n") << "A" << "c"
        << QByteArray("[B]\r\nb=2\r\n\r\n[A]\r\nc=3\r\n");
    QTest::newRow("new section after a trailing blank line")
        << QByteArray("[B]\r\nb=2\r\n\r\n") << "A" << "c"
        << QByteArray("[B]\r\nb=2\r\n\r\n[A]\r\nc=3\r\n");
    QTest::newRow("new file") << QByteArray() << " A " << " c " << QByteArray("[A]\r\nc=3\r\n");
    QTest::newRow("existing key in place, its letter case kept")
        << QByteArray("[a]\r\n  C = 1\r\nd=2\r\n") << "A" << "c"
        << QByteArray("[a]\r\nC=3\r\nd=2\r\n");
    QTest::newRow("first of two sections")
        << QByteArray("[A]\r\na=1\r\n[a]\r\nc=1\r\n") << "A" << "c"
        << QByteArray("[A]\r\na=1\r\nc=3\r\n[a]\r\nc=1\r\n");
    QTest::newRow("not into a broken header")
        << QByteArray("[A]\r\na=1\r\n[B\r\n") << "B" << "c"
        << QByteArray("[A]\r\na=1\r\n[B\r\n\r\n[B]\r\nc=3\r\n");
}

void TestIniFile::writeLayout()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        put(before);
    IniFile ini(iniPath());
    ini.writeInteger(section, key, 3);
    QCOMPARE(ini.readInteger(section, key, 0), 3);
    ini.save();
    QCOMPARE(onDisk(), after);
}

void TestIniFile::eraseSection()
{
    put("; Diridu settings\r\n"
        "[Folders]\r\nImage=/img/\r\nExtra=kept\r\n\r\n"
        "[Curves]\r\nBlend=30\r\nOld=gone\r\n\r\n"
        "[Presets]\r\nWarm=Preset\r\n\r\n"
        "[curves]\r\nBlend=99\r\n\r\n"
        "[Warm]\r\nBlend=30\r\n");
    IniFile ini(iniPath());
    ini.eraseSection(QStringLiteral("CURVES"));
    QVERIFY(!ini.sectionHasKeys(QStringLiteral("Curves")));
    ini.writeString(QStringLiteral("Curves"), QStringLiteral("Blend"), QStringLiteral("50"));
    ini.writeString(QStringLiteral("Curves"), QStringLiteral("Gamma"), QStringLiteral("0"));
    ini.writeString(QStringLiteral("Folders"), QStringLiteral("Image"), QStringLiteral("/new/"));
    ini.eraseSection(QStringLiteral("NoSuchSection"));
    ini.save();
    QCOMPARE(onDisk(), QByteArray("; Diridu settings\r\n"
                                  "[Folders]\r\nImage=/new/\r\nExtra=kept\r\n\r\n"
                                  "[Presets]\r\nWarm=Preset\r\n\r\n"
                                  "[Warm]\r\nBlend=30\r\n\r\n"
                                  "[Curves]\r\nBlend=50\r\nGamma=0\r\n"));
}

void TestIniFile::listingAndDeleting()
{
    put("[Presets]\r\nWarm=Preset\r\n; a comment=not a key\r\ncold=Preset\r\nnoEquals\r\n"
        "=empty name\r\nNeutral=Preset\r\n"
        "[Empty]\r\n; only a comment\r\n\r\n"
        "[Warm]\r\nBlend=30\r\n"
        "[presets]\r\nWarm=Preset\r\nLater=Preset\r\n");
    IniFile ini(iniPath());
    QCOMPARE(ini.sections(), QStringList({"Presets", "Empty", "Warm", "presets"}));
    QCOMPARE(ini.keys(QStringLiteral("PRESETS")), QStringList({"Warm", "cold", "Neutral"}));
    QVERIFY(ini.sectionHasKeys(QStringLiteral("Presets")));
    QVERIFY(!ini.sectionHasKeys(QStringLiteral("Empty")));

    ini.deleteKey(QStringLiteral("Presets"), QStringLiteral("WARM"));
    ini.deleteKey(QStringLiteral("Presets"), QStringLiteral("NotThere"));
    QCOMPARE(ini.keys(QStringLiteral("Presets")), QStringList({"cold", "Neutral"}));
    QCOMPARE(ini.readString(QStringLiteral("Presets"), QStringLiteral("Warm"), QStringLiteral("-")),
             QStringLiteral("-"));
    QCOMPARE(ini.readString(QStringLiteral("Warm"), QStringLiteral("Blend")),
             QStringLiteral("30"));
    ini.eraseSection(QStringLiteral("Presets"));
    QVERIFY(!ini.sectionHasKeys(QStringLiteral("Presets")));
    ini.writeString(QStringLiteral("Presets"), QStringLiteral("Warm"), QStringLiteral("Preset"));
    ini.save();

    const IniFile reread(iniPath());
    QCOMPARE(reread.sections(), QStringList({"Empty", "Warm", "Presets"}));
    QCOMPARE(reread.keys(QStringLiteral("Presets")), QStringList({"Warm"}));
    QCOMPARE(onDisk(), QByteArray("[Empty]\r\n; only a comment\r\n\r\n[Warm]\r\nBlend=30\r\n"
                                  "\r\n[Presets]\r\nWarm=Preset\r\n"));
}

void TestIniFile::otherLinesKept()
{
    // Everything but the changed key comes back byte for byte, with CR LF line ends.
    const QList<QByteArray> lines = {
        "\xEF\xBB\xBF; written by hand",
        "before=any section",
        "[Page]",
        "Width=8.5",
        "; comment",
        "garbage without equals",
        "=no name",
        "\x01\x02\xff\xfe binary",
        QByteArray("nul\0inside=x", 12),
        "lone\rcarriage=return",
        "[broken header",
        "Length=11",
        "",
        "   ",
        "[Curves]",
        "Blend=50",
    };
    put(lines.join('\n') + '\n');
    IniFile ini(iniPath());
    QCOMPARE(ini.sections(), QStringList({"Page", "Curves"}));
    QCOMPARE(ini.keys(QStringLiteral("Page")),
             QStringList({"Width", QString::fromLocal8Bit(QByteArray("nul\0inside", 10)),
                          "lone\rcarriage", "Length"}));
    ini.writeString(QStringLiteral("Curves"), QStringLiteral("Blend"), QStringLiteral("40"));
    ini.save();

    QList<QByteArray> expected = lines;
    expected.last() = "Blend=40";
    QCOMPARE(onDisk(), expected.join("\r\n") + "\r\n");
}

void TestIniFile::unchangedFileNotRewritten()
{
    const QByteArray content = "[A]\na=1\n";
    put(content);
    IniFile ini(iniPath());
    ini.eraseSection(QStringLiteral("Missing"));
    ini.deleteKey(QStringLiteral("A"), QStringLiteral("missing"));
    ini.save();
    QCOMPARE(onDisk(), content);

    IniFile none(m_dir->filePath(QStringLiteral("none.ini")));
    none.save();
    QVERIFY(!QFile::exists(none.path()));
}

void TestIniFile::invalidNamesRefused()
{
    QVERIFY(IniFile::isValidKeyName(QStringLiteral("Warm")));
    QVERIFY(IniFile::isValidSectionName(QStringLiteral("[Warm]")));
    QVERIFY(IniFile::isValidSectionName(QStringLiteral("a=b;c")));
    const QStringList badKeys = {"", "  ", "a=b", ";x", "[x]", " [x", "a\nb", "a\rb"};
    for (const QString &key : badKeys)
        QVERIFY2(!IniFile::isValidKeyName(key), qPrintable(key));
    QVERIFY(!IniFile::isValidSectionName(QStringLiteral(" ")));
    QVERIFY(!IniFile::isValidSectionName(QStringLiteral("a\nb")));

    put("[Presets]\r\n");
    IniFile ini(iniPath());
    QVERIFY_THROWS_EXCEPTION(ZorError, ini.writeString(QStringLiteral("Presets"),
                                                       QStringLiteral("[x]"),
                                                       QStringLiteral("Preset")));
    QVERIFY_THROWS_EXCEPTION(ZorError, ini.writeString(QStringLiteral("a\nb"),
                                                       QStringLiteral("k"), QString()));
    // Names that round-trip, although odd.
    ini.writeString(QStringLiteral("[x]"), QStringLiteral("a b"), QStringLiteral("1"));
    ini.save();
    QCOMPARE(onDisk(), QByteArray("[Presets]\r\n\r\n[[x]]\r\na b=1\r\n"));
    QCOMPARE(IniFile(iniPath()).readString(QStringLiteral("[x]"), QStringLiteral("A B")),
             QStringLiteral("1"));
}

void TestIniFile::writeToMissingFolderFails()
{
    const QString path = m_dir->filePath(QStringLiteral("missing/Diridu.ini"));
    IniFile ini(path);
    ini.writeBool(QStringLiteral("Options"), QStringLiteral("Debugging"), true);
    try {
        ini.save();
        QFAIL("no error for a folder that does not exist");
    } catch (const ZorError &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + path);
    }
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("missing"))));
}

void TestIniFile::failedWriteKeepsOldFile()
{
    const QByteArray old = "[Presets]\r\nWarm=Preset\r\n\r\n[Warm]\r\nBlend=30\r\n";
    put(old);
    IniFile ini(iniPath());
    ini.eraseSection(QStringLiteral("Warm"));
    ini.writeString(QStringLiteral("Folders"), QStringLiteral("Image"), QString(8000, u'x'));
    {
        // As root no folder is read-only; a file size limit fails the write like a full disk.
        FileSizeLimit limit(4096);
        QVERIFY(limit.ok());
        QVERIFY_THROWS_EXCEPTION(ZorError, ini.save());
    }
    QCOMPARE(onDisk(), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"Diridu.ini"}));
    ini.save(); // without the limit
    QCOMPARE(IniFile(iniPath()).readString(QStringLiteral("Folders"), QStringLiteral("Image")),
             QString(8000, u'x'));
}

void TestIniFile::unreadablePathIsNotReplaced()
{
    // A folder and a FIFO in the file's place: reading gives defaults without blocking,
    // and saving refuses rather than replace what could not be read.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Diridu.ini")));
    const QString fifo = m_dir->filePath(QStringLiteral("fifo.ini"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path : {iniPath(), fifo}) {
        IniFile ini(path);
        QCOMPARE(ini.readInteger(QStringLiteral("Page"), QStringLiteral("Copies"), 1), 1);
        ini.writeInteger(QStringLiteral("Page"), QStringLiteral("Copies"), 2);
        QVERIFY_THROWS_EXCEPTION(ZorError, ini.save());
    }
    QVERIFY(QFileInfo(iniPath()).isDir());
}

void TestIniFile::backUpAndRemove()
{
    const QString bak = iniPath() + QStringLiteral(".bak");
    QVERIFY(!IniFile::backUpAndRemove(iniPath()));
    QVERIFY(!QFile::exists(bak));

    QByteArray damaged = "[Options]\r\nRecentFileCount=abc\r\n[Presets]\r\nWarm=Preset\r\n";
    damaged += QByteArray(200 * 1024, '\xA7'); // more than one copy chunk
    put(damaged);
    QVERIFY(IniFile::backUpAndRemove(iniPath()));
    QVERIFY(!QFile::exists(iniPath()));
    QCOMPARE(contentOf(bak), damaged);

    put("[Options]\r\nCopies=x\r\n");
    QVERIFY(IniFile::backUpAndRemove(iniPath()));
    QCOMPARE(contentOf(bak), QByteArray("[Options]\r\nCopies=x\r\n"));
    QVERIFY(!QFile::exists(iniPath()));
}

void TestIniFile::hostile_data()
{
    QTest::addColumn<QByteArray>("content");
    const qsizetype fiveMB = 5 * 1024 * 1024;

    QByteArray random(2 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(20240607);
    generator.fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
    QTest::newRow("random bytes") << random;

    // The same bytes, about one in six turned into a character of the structure.
    QByteArray randomLines = random;
    const char structure[] = "\n=[];";
    for (char &c : randomLines) {
        if (uchar(c) % 32 < 5)
            c = structure[uchar(c) % 32];
    }
    QTest::newRow("random structure") << randomLines;
    QTest::newRow("one long line") << QByteArray(fiveMB, 'x');
    QTest::newRow("long value") << "[A]\r\nk=" + QByteArray(fiveMB, 'v') + "\r\nafter=1\r\n";
    QTest::newRow("open bracket only") << '[' + QByteArray(fiveMB, 'y');
    QTest::newRow("many open brackets") << QByteArray(fiveMB, '[');
    QTest::newRow("many equals signs") << QByteArray(fiveMB, '=');
    QTest::newRow("many line ends") << QByteArray(fiveMB, '\n');
    QTest::newRow("many empty headers") << QByteArray("[]\n").repeated(fiveMB / 3);
    QTest::newRow("NUL bytes") << QByteArray("[A]\0\r\nk\0=v\0\r\n\0\0\0", 17);
    QByteArray sections;
    for (int i = 0; i < 10000; ++i)
        sections += "[S" + QByteArray::number(i) + "]\r\nk=" + QByteArray::number(i) + "\r\n";
    QTest::newRow("10000 sections") << sections;
    QByteArray keys = "[A]\r\n";
    for (int i = 0; i < 100000; ++i)
        keys += "key" + QByteArray::number(i) + (i % 2 ? "=1\r\n" : "\r\n");
    QTest::newRow("100000 keys, half without equals") << keys;
}

void TestIniFile::hostile()
{
    QFETCH(QByteArray, content);
    put(content);
    QElapsedTimer timer;
    timer.start();
    IniFile ini(iniPath());
    const qint64 loadMs = timer.restart();
    QVERIFY2(loadMs < 1000 * slowdown, qPrintable(QString::number(loadMs) + " ms to load"));
    const QStringList sections = ini.sections();
    for (const QString &section : sections.mid(0, 50))
        ini.keys(section);
    const QStringList names = {"A", "S9999", "Options", "Presets", "Folders"};
    for (const QString &section : names) {
        ini.readString(section, QStringLiteral("k"));
        ini.readBool(section, QStringLiteral("after"), false);
        ini.readReal(section, QStringLiteral("key99999"), 0);
        ini.writeString(section, QStringLiteral("Written"), section);
    }
    ini.eraseSection(QStringLiteral("S5000"));
    ini.save();
    const qint64 editMs = timer.elapsed();
    QVERIFY2(editMs < 2000 * slowdown, qPrintable(QString::number(editMs) + " ms to edit"));

    const IniFile reread(iniPath());
    for (const QString &section : names)
        QCOMPARE(reread.readString(section, QStringLiteral("Written")), section);
    QCOMPARE(reread.sections().size(), ini.sections().size());

    if (QByteArray(QTest::currentDataTag()) == "long value") {
        QCOMPARE(reread.readString(QStringLiteral("A"), QStringLiteral("k")),
                 QString(5 * 1024 * 1024, u'v'));
        QCOMPARE(reread.readInteger(QStringLiteral("A"), QStringLiteral("after"), 0), 1);
    }
    if (QByteArray(QTest::currentDataTag()) == "10000 sections") {
        QCOMPARE(reread.readInteger(QStringLiteral("S9999"), QStringLiteral("k"), 0), 9999);
        QCOMPARE(reread.readInteger(QStringLiteral("S5000"), QStringLiteral("k"), -1), -1);
        QCOMPARE(reread.sections().size(), 10000 - 1 + 4);
    }
}

void TestIniFile::tooLargeRefused()
{
    put(QByteArray(IniFile::MaxFileSize + 1, ';'));
    QVERIFY_THROWS_EXCEPTION(ZorError, IniFile{iniPath()});
    put(QByteArray(IniFile::MaxFileSize, ';'));
    QVERIFY(IniFile(iniPath()).sections().isEmpty());
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
