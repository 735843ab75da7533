#include "CurveCatalogue.h"
#include "CurveFolderWatch.h"
#include "TestInstall.h"

#include <QSignalSpy>
#include <QTest>

class TestCurveCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void rebuild_data();
    void rebuild();
    void rebuildTwiceIsStable();
    void folderFoundIgnoringCase();
    void watchReportsNameChanges_data();
    void watchReportsNameChanges();
    void watchFollowsFolder();
    void watchIgnoresSubfolders();
};

void TestCurveCatalogue::rebuild_data()
{
    QTest::addColumn<QStringList>("files"); // below the curve folder; "/" at the end: a folder
    QTest::addColumn<QStringList>("itemsBefore");
    QTest::addColumn<int>("defaultIndex");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("selected");

    const QStringList builtIn{"Neutral"};
    QTest::newRow("extension in any case")
        << QStringList{"Warm.zorl", "Cool.ZORL"} << builtIn << 0 << ""
        << QStringList{"Neutral", "Cool", "Warm"} << QStringList{"K-Neutral", "Cool", "Warm"} << 0;
    QTest::newRow("name up to the first .zorl")
        << QStringList{"a.zorl.bak.zorl"} << builtIn << 0 << "" << QStringList{"Neutral", "a"}
        << QStringList{"K-Neutral", "a"} << 0;
    QTest::newRow("other files and folders ignored")
        << QStringList{"notes.txt", "x.zorlx", "y.zor", "sub.zorl/"} << builtIn << 0 << ""
        << builtIn << QStringList{"K-Neutral"} << 0;
    QTest::newRow("empty folder") << QStringList() << builtIn << 0 << "" << builtIn
                                  << QStringList{"K-Neutral"} << 0;
    QTest::newRow("previous text kept")
        << QStringList{"Warm.zorl", "Cool.zorl"} << builtIn << 0 << "Warm"
        << QStringList{"Neutral", "Cool", "Warm"} << QStringList{"K-Neutral", "Cool", "Warm"} << 2;
    QTest::newRow("previous file deleted")
        << QStringList{"Cool.zorl"} << builtIn << 0 << "Warm" << QStringList{"Neutral", "Cool"}
        << QStringList{"K-Neutral", "Cool"} << 0;
    QTest::newRow("previous text compared exactly")
        << QStringList{"Warm.zorl"} << builtIn << 0 << "warm" << QStringList{"Neutral", "Warm"}
        << QStringList{"K-Neutral", "Warm"} << 0;
    // The entry at the default position is kept, and that position is selected again,
    // which is now a curve file.
    QTest::newRow("default at position 1")
        << QStringList{"Cool.zorl", "Warm.zorl"} << QStringList{"One", "Two", "Three"} << 1 << ""
        << QStringList{"Two", "Cool", "Warm"} << QStringList{"K-Two", "Cool", "Warm"} << 1;
    QTest::newRow("no default curve") << QStringList{"Cool.zorl"} << builtIn << -1 << ""
                                      << QStringList{"Cool"} << QStringList{"Cool"} << -1;
}

void TestCurveCatalogue::rebuild()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, itemsBefore);
    QFETCH(int, defaultIndex);
    QFETCH(QString, previous);
    QFETCH(QStringList, items);
    QFETCH(QStringList, values);

    TestInstall install;
    for (const QString &file : files) {
        if (file.endsWith(u'/'))
            QDir(install.folder()).mkpath("Zorlane/M/" + file);
        else
            install.write("Zorlane/M/" + file, "");
    }
    QDir(install.folder()).mkpath("Zorlane/M");
    for (const QString &item : itemsBefore) {
        install.curve1.addItem(item);
        install.model.Curve1Values.append("K-" + item);
    }
    install.model.Curve1Default = defaultIndex;
    // Curve2 with its own default, to see that each list uses its own.
    install.curve2.addItem("Two-A");
    install.curve2.addItem("Two-B");
    install.model.Curve2Values = QStringList{"A", "B"};
    install.model.Curve2Default = 1;
    install.curve2.setCurrentIndex(0);

    RebuildCurveLists(install.model, install.curve1, install.curve2, install.folder(), "M",
                      previous, "Two-B");

    QCOMPARE(install.curve1.items(), items);
    QCOMPARE(install.model.Curve1Values, values);
    QTEST(install.curve1.currentIndex(), "selected");
    const QStringList files2 = items.mid(defaultIndex >= 0 ? 1 : 0);
    QCOMPARE(install.curve2.items(), QStringList{"Two-B"} + files2);
    QCOMPARE(install.model.Curve2Values, QStringList{"B"} + files2);
    QCOMPARE(install.curve2.currentIndex(), 0);
}

// A folder report without a change rebuilds the same lists.
void TestCurveCatalogue::rebuildTwiceIsStable()
{
    TestInstall install;
    install.write("Zorlane/M/Warm.zorl", "");
    install.curve1.addItem("Neutral");
    install.model.Curve1Values = QStringList{"N"};
    install.model.Curve1Default = 0;
    for (int i = 0; i < 2; ++i) {
        install.loader.RebuildCurveLists(install.folder(), "M", "Warm", "");
        QCOMPARE(install.curve1.items(), (QStringList{"Neutral", "Warm"}));
        QCOMPARE(install.model.Curve1Values, (QStringList{"N", "Warm"}));
        QCOMPARE(install.curve1.currentText(), "Warm");
    }
}

void TestCurveCatalogue::folderFoundIgnoringCase()
{
    TestInstall install;
    install.write("ZORLANE/zorl3800/Warm.zorl", "");
    QCOMPARE(curveFolderPath(install.folder(), "Zorl3800"), install.folder() + "ZORLANE/zorl3800/");
    QCOMPARE(listCurveNames(curveFolderPath(install.folder(), "Zorl3800")), QStringList{"Warm"});
    QCOMPARE(curveFolderPath(install.folder(), "Other"), install.folder() + "ZORLANE/Other/");
}

void TestCurveCatalogue::watchReportsNameChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("created") << "create";
    QTest::newRow("deleted") << "delete";
    QTest::newRow("renamed") << "rename";
}

void TestCurveCatalogue::watchReportsNameChanges()
{
    QFETCH(QString, change);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/curves/";
    QDir().mkpath(folder);
    QFile(folder + "Old.zorl").open(QIODevice::WriteOnly);

    CurveFolderWatch watch;
    watch.setFolder(folder);
    QSignalSpy spy(&watch, &CurveFolderWatch::changed);
    if (change == "create")
        QVERIFY(QFile(folder + "New.zorl").open(QIODevice::WriteOnly));
    else if (change == "delete")
        QVERIFY(QFile::remove(folder + "Old.zorl"));
    else
        QVERIFY(QFile::rename(folder + "Old.zorl", folder + "Renamed.zorl"));
    QTRY_COMPARE(spy.count(), 1);
}

void TestCurveCatalogue::watchFollowsFolder()
{
    QTemporaryDir dir;
    const QString first = dir.path() + "/first/";
    const QString second = dir.path() + "/second/";
    QDir().mkpath(first);
    QDir().mkpath(second);

    CurveFolderWatch watch;
    watch.setFolder(first);
    watch.setFolder(second);
    QCOMPARE(watch.folder(), second);
    QSignalSpy spy(&watch, &CurveFolderWatch::changed);
    // The old folder's change happens first, so any report of it would come first too.
    QVERIFY(QFile(first + "a.zorl").open(QIODevice::WriteOnly));
    QVERIFY(QFile(second + "b.zorl").open(QIODevice::WriteOnly));
    QTRY_VERIFY(spy.count() >= 1);
    QCOMPARE(spy.count(), 1);

    // A folder that does not exist is taken without complaint; there is nothing to watch.
    watch.setFolder(dir.path() + "/missing/");
    QCOMPARE(watch.folder(), dir.path() + "/missing/");
}

void TestCurveCatalogue::watchIgnoresSubfolders()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    CurveFolderWatch watch;
    watch.setFolder(folder);
    QSignalSpy spy(&watch, &CurveFolderWatch::changed);
    QVERIFY(QDir().mkpath(folder + "sub"));
    QVERIFY(QFile(folder + "sub/a.zorl").open(QIODevice::WriteOnly));
    QVERIFY(QFile(folder + "b.zorl").open(QIODevice::WriteOnly));
    QTRY_VERIFY(spy.count() >= 1);
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(TestCurveCatalogue)
#include "tst_curvecatalogue.moc"
