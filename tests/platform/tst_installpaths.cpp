#include "InstallPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestInstallPaths : public QObject
{
    Q_OBJECT

private slots:
    void installFolder_data();
    void installFolder();
    void resolvesWithoutLetterCase_data();
    void resolvesWithoutLetterCase();
    void listsSuffixInAnyCase();
};

void TestInstallPaths::installFolder_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("usual") << "/opt/Zorlane/bin/" << "/opt/Zorlane/";
    QTest::newRow("deep") << "/home/ann/Print Tools/Zorlane/bin/" << "/home/ann/Print Tools/Zorlane/";
    QTest::newRow("one below root") << "/bin/" << "/";
    QTest::newRow("root") << "/" << "";
    QTest::newRow("relative without parent") << "bin/" << "";
    QTest::newRow("empty") << "" << "";
}

void TestInstallPaths::installFolder()
{
    QFETCH(QString, programFolder);
    QFETCH(QString, expected);
    QCOMPARE(installFolderOf(programFolder), expected);
}

void TestInstallPaths::resolvesWithoutLetterCase_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("found");
    QTest::newRow("exact") << "ppd/Zorl3800.ppd" << "ppd/Zorl3800.ppd";
    QTest::newRow("folder in other case") << "PPD/Zorl3800.ppd" << "ppd/Zorl3800.ppd";
    QTest::newRow("file in other case") << "ppd/zorl3800.PPD" << "ppd/Zorl3800.ppd";
    QTest::newRow("file only") << "channelwedge.tif" << "ChannelWedge.tif";
    QTest::newRow("missing file") << "PPD/Zorl9999.ppd" << "ppd/Zorl9999.ppd";
    QTest::newRow("missing folder keeps the rest") << "Nothing/Here.ppd" << "Nothing/Here.ppd";
}

void TestInstallPaths::resolvesWithoutLetterCase()
{
    QFETCH(QString, asked);
    QFETCH(QString, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.path() + QLatin1Char('/');
    QVERIFY(QDir(base).mkpath(QStringLiteral("ppd")));
    for (const char *name : {"ppd/Zorl3800.ppd", "ChannelWedge.tif"}) {
        QFile file(base + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(resolveCaseInsensitive(base, asked), base + found);
}

void TestInstallPaths::listsSuffixInAnyCase()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString base = dir.path() + QLatin1Char('/');
    for (const char *name : {"Warm.zorl", "Cool.ZORL", "notes.txt", "a.zorl.bak", "b.zorl.bak.zorl"}) {
        QFile file(base + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(base).mkpath(QStringLiteral("Folder.zorl")));
    QCOMPARE(filesWithSuffix(base, QStringLiteral(".zorl")),
             QStringList({"Cool.ZORL", "Warm.zorl", "b.zorl.bak.zorl"}));
}

QTEST_GUILESS_MAIN(TestInstallPaths)
#include "tst_installpaths.moc"
