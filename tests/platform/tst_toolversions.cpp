#include "ToolVersions.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestToolVersions : public QObject
{
    Q_OBJECT

private slots:
    void normalises_data();
    void normalises();
    void readsFirstLineOfEachTool();
    void slowToolDoesNotHoldUpStartup();

private:
    QString writeTool(const QTemporaryDir &dir, const QString &name, const QByteArray &body);
};

void TestToolVersions::normalises_data()
{
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("expected");
    QTest::newRow("commas and blanks") << "2, 8, 0, 1" << "2.8.0.1";
    QTest::newRow("already points") << "2.8.0.1" << "2.8.0.1";
    QTest::newRow("no blank after comma") << "3,0,1,12" << "3.0.1.12";
    QTest::newRow("empty") << "" << "";
}

void TestToolVersions::normalises()
{
    QFETCH(QString, fileVersion);
    QFETCH(QString, expected);
    QCOMPARE(normaliseVersionText(fileVersion), expected);
}

QString TestToolVersions::writeTool(const QTemporaryDir &dir, const QString &name,
                                    const QByteArray &body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestToolVersions::readsFirstLineOfEachTool()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList tools = {
        writeTool(dir, "Inkforge", "[ \"$1\" = --version ] && printf '2, 8, 0, 1\\r\\nmore\\n'"),
        writeTool(dir, "Silent", "exit 0"),
        writeTool(dir, "Crashing", "kill -SEGV $$"),
        dir.filePath("Missing"),
        writeTool(dir, "Rastermill", "echo '3, 0, 2, 7'"),
    };
    QCOMPARE(readToolVersions(tools, 5000),
             QStringList({"2.8.0.1", "", "", "", "3.0.2.7"}));
}

void TestToolVersions::slowToolDoesNotHoldUpStartup()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString slow = writeTool(dir, "Slow", "sleep 20; echo 1, 0, 0, 0");
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(readToolVersions({slow, slow}, 300), QStringList({"", ""}));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestToolVersions)
#include "tst_toolversions.moc"
