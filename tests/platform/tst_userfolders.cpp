#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// Sets an environment variable for the scope, or removes it for a null value.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TestUserFolders : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void choosesByWritability_data();
    void choosesByWritability();
    void baseFoldersFollowTheEnvironment_data();
    void baseFoldersFollowTheEnvironment();
    void seedsTheUserSettings_data();
    void seedsTheUserSettings();
    void makesPrivateFolders();
    void writableInstallationTouchesNothing();
    void readOnlyFolderIsNotWritable();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<ScopedEnv> m_homeEnv, m_config, m_state;
    QString home() const { return m_home->path() + u'/'; }
};

void TestUserFolders::init()
{
    m_config.reset();
    m_state.reset();
    m_homeEnv.reset();
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    m_homeEnv = std::make_unique<ScopedEnv>("HOME", QFile::encodeName(m_home->path()));
    m_config = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", QByteArray());
    m_state = std::make_unique<ScopedEnv>("XDG_STATE_HOME", QByteArray());
}

void TestUserFolders::choosesByWritability_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("installFolder");
    QTest::addColumn<QStringList>("writableFolders");
    QTest::addColumn<bool>("perUser");

    const QString bin = QStringLiteral("/opt/zorlane/bin/");
    const QString install = QStringLiteral("/opt/zorlane/");
    QTest::newRow("both writable") << bin << install << QStringList{bin, install} << false;
    QTest::newRow("neither writable") << bin << install << QStringList{} << true;
    QTest::newRow("program folder read-only") << bin << install << QStringList{install} << true;
    QTest::newRow("install folder read-only") << bin << install << QStringList{bin} << true;
    QTest::newRow("program folder in the root, writable")
        << QStringLiteral("/") << QString() << QStringList{QStringLiteral("/")} << false;
    QTest::newRow("program folder in the root, read-only")
        << QStringLiteral("/") << QString() << QStringList{} << true;
}

void TestUserFolders::choosesByWritability()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, installFolder);
    QFETCH(QStringList, writableFolders);
    QFETCH(bool, perUser);

    QStringList asked;
    const TUserFolders folders =
        chooseUserFolders(programFolder, installFolder, [&](const QString &folder) {
            asked.append(folder);
            return writableFolders.contains(folder);
        });
    QVERIFY(asked.contains(programFolder));
    QCOMPARE(folders.PerUser, perUser);
    if (perUser) {
        QCOMPARE(folders.SettingsFolder, home() + QStringLiteral(".config/zorlane/"));
        QCOMPARE(folders.WorkFolder, home() + QStringLiteral(".local/state/zorlane/"));
    } else {
        QCOMPARE(folders.SettingsFolder, programFolder);
        QCOMPARE(folders.WorkFolder, installFolder);
    }
}

void TestUserFolders::baseFoldersFollowTheEnvironment_data()
{
    QTest::addColumn<QByteArray>("configHome");
    QTest::addColumn<QByteArray>("stateHome");
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("state");

    QTest::newRow("unset") << QByteArray() << QByteArray() << ".config/zorlane/"
                           << ".local/state/zorlane/";
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << ".config/zorlane/"
                           << ".local/state/zorlane/";
    QTest::newRow("absolute") << QByteArray("@/conf") << QByteArray("@/st/") << "conf/zorlane/"
                              << "st/zorlane/";
    QTest::newRow("relative ones are ignored")
        << QByteArray("conf") << QByteArray("./st") << ".config/zorlane/"
        << ".local/state/zorlane/";
}

void TestUserFolders::baseFoldersFollowTheEnvironment()
{
    QFETCH(QByteArray, configHome);
    QFETCH(QByteArray, stateHome);
    QFETCH(QString, config);
    QFETCH(QString, state);
    // "@" stands for the test's home folder.
    const QByteArray homePath = QFile::encodeName(m_home->path());
    ScopedEnv configEnv("XDG_CONFIG_HOME",
                        configHome.isNull() ? configHome : configHome.replace('@', homePath));
    ScopedEnv stateEnv("XDG_STATE_HOME",
                       stateHome.isNull() ? stateHome : stateHome.replace('@', homePath));

    QCOMPARE(userConfigFolder(), home() + config);
    QCOMPARE(userStateFolder(), home() + state);
}

void TestUserFolders::seedsTheUserSettings_data()
{
    QTest::addColumn<QByteArray>("installed");
    QTest::addColumn<QByteArray>("usersOwn");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("seeded from the installation")
        << QByteArray("[Printer]\nPrintingModel=Zorl3800\n") << QByteArray()
        << QByteArray("[Printer]\nPrintingModel=Zorl3800\n");
    QTest::newRow("no seed") << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("the user's own file is kept")
        << QByteArray("[Printer]\nPrintingModel=Zorl3800\n")
        << QByteArray("[Printer]\nPrintingModel=ZorlR2400\n")
        << QByteArray("[Printer]\nPrintingModel=ZorlR2400\n");
}

void TestUserFolders::seedsTheUserSettings()
{
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, usersOwn);
    QFETCH(QByteArray, expected);

    QTemporaryDir installation;
    const QString install = installation.path() + u'/';
    const QString bin = install + QStringLiteral("bin/");
    QVERIFY(QDir().mkpath(bin));
    if (!installed.isNull()) {
        writeFile(bin + QStringLiteral("Diridu.ini"), installed);
        // As the package manager leaves it: nobody but root may write it.
        QFile::setPermissions(bin + QStringLiteral("Diridu.ini"),
                              QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString own = home() + QStringLiteral(".config/zorlane/Diridu.ini");
    if (!usersOwn.isNull()) {
        QVERIFY(QDir().mkpath(home() + QStringLiteral(".config/zorlane")));
        writeFile(own, usersOwn);
    }

    const ScopedFolderWritableCheck readOnly([](const QString &) { return false; });
    const TUserFolders folders = prepareUserFolders(bin, install);

    QVERIFY(folders.PerUser);
    QCOMPARE(folders.SettingsFolder + QStringLiteral("Diridu.ini"), own);
    QCOMPARE(QFileInfo::exists(own), !expected.isNull());
    QCOMPARE(readAll(own), expected);
    if (!expected.isNull())
        QVERIFY(QFileInfo(own).permissions() & QFile::WriteOwner);
    // The installation's copy stays as it was.
    QCOMPARE(readAll(bin + QStringLiteral("Diridu.ini")), installed);
}

void TestUserFolders::makesPrivateFolders()
{
    QTemporaryDir installation;
    const QString bin = installation.path() + QStringLiteral("/bin/");
    QVERIFY(QDir().mkpath(bin));

    const ScopedFolderWritableCheck readOnly([](const QString &) { return false; });
    const TUserFolders folders = prepareUserFolders(bin, installation.path() + u'/');

    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    for (const QString &folder : {folders.SettingsFolder, folders.WorkFolder}) {
        QVERIFY2(QFileInfo(folder).isDir(), qPrintable(folder));
        QCOMPARE(QFileInfo(folder).permissions() &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 ownerOnly);
    }
}

void TestUserFolders::writableInstallationTouchesNothing()
{
    QTemporaryDir installation;
    const QString install = installation.path() + u'/';
    const QString bin = install + QStringLiteral("bin/");
    QVERIFY(QDir().mkpath(bin));

    const TUserFolders folders = prepareUserFolders(bin, install);

    QVERIFY(!folders.PerUser);
    QCOMPARE(folders.SettingsFolder, bin);
    QCOMPARE(folders.WorkFolder, install);
    QVERIFY(!QFileInfo::exists(home() + QStringLiteral(".config")));
    QVERIFY(!QFileInfo::exists(home() + QStringLiteral(".local")));
}

void TestUserFolders::readOnlyFolderIsNotWritable()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QVERIFY(folderWritable(folder));
    QVERIFY(!folderWritable(folder + QStringLiteral("missing/")));
    if (::geteuid() == 0)
        QSKIP("root may write into any folder");
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const bool writable = folderWritable(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!writable);
}

QTEST_GUILESS_MAIN(TestUserFolders)
#include "tst_userfolders.moc"
