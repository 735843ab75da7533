#include "CurveCreationRun.h"
#include "Dialogs.h"
#include "TProfileErrors.h"
#include "TZorGraphs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// A run against a recording Curvewright: a shell script in bin/ that notes its arguments
// and folder, then does what the test asks of it.
class TestCurveCreationRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void outcomes_data();
    void outcomes();
    void toolCalledFromInstallFolderWithDescription();
    void rewriteWithinTheSameSecondCounts();
    void toolThatCannotStart();
    void toolThatHangsIsStopped();
    void graphsOpenOnTheNewCurve_data();
    void graphsOpenOnTheNewCurve();

private:
    void writeTool(const QByteArray &body);
    CurveCreationOutcome run(int timeLimitMs = CurvewrightTimeLimitMs);
    QStringList logLines() const;
    QStringList leftoverTemporaryFiles() const;
    // The report window's caption and lines each time it was shown.
    void recordReports();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_install;
    QString m_work;
    TProfileErrors *m_report = nullptr;
    TZorGraphs *m_graphs = nullptr;
    QList<QStringList> m_shownReports;
    ScopedRecordingDialogs *m_dialogs = nullptr;
};

namespace {

const QByteArray kMakeCurve =
    "{ echo '# ZORLANE K,LK'; seq 0 255; seq 0 255; } > Zorlane/Zorl3800/Warm.zorl\n";
const QByteArray kLinearization = "echo LINEARIZE_CURVE; echo '0 0'; echo '128 120'; "
                                  "echo '255 255'\n";

} // namespace

void TestCurveCreationRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_install = m_dir->path() + QStringLiteral("/zorlane/");
    m_work = m_dir->path() + QStringLiteral("/state/");
    QDir().mkpath(m_install + QStringLiteral("bin"));
    QDir().mkpath(m_install + QStringLiteral("Zorlane/Zorl3800"));
    QDir().mkpath(m_install + QStringLiteral("Curvewright"));
    QDir().mkpath(m_work);
    QFile description(m_install + QStringLiteral("Curvewright/Warm.zidf"));
    QVERIFY(description.open(QIODevice::WriteOnly));
    description.write("PRINTER=Zorl3800\r\n");
    m_report = new TProfileErrors;
    m_graphs = new TZorGraphs;
    m_shownReports.clear();
    m_dialogs = new ScopedRecordingDialogs;
}

void TestCurveCreationRun::cleanup()
{
    delete m_dialogs;
    delete m_graphs;
    delete m_report;
    m_dir.reset();
}

void TestCurveCreationRun::writeTool(const QByteArray &body)
{
    QFile tool(m_install + QStringLiteral("bin/Curvewright"));
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\npwd > called-in.txt\nprintf '%s\\n' \"$0\" \"$@\" > called-with.txt\n" +
               body);
    tool.close();
    QVERIFY(tool.setPermissions(tool.permissions() | QFile::ExeOwner));
}

void TestCurveCreationRun::recordReports()
{
    // The report window is modal: read it and close it once it is up.
    auto *poll = new QTimer(m_report);
    connect(poll, &QTimer::timeout, this, [this] {
        if (m_report->isVisible()) {
            m_shownReports.append(QStringList{m_report->windowTitle()} + m_report->lines());
            m_report->reject();
        }
    });
    poll->start(10);
}

CurveCreationOutcome TestCurveCreationRun::run(int timeLimitMs)
{
    recordReports();
    CurveCreationJob job;
    job.installFolder = m_install;
    job.workFolder = m_work;
    job.model = QStringLiteral("Zorl3800");
    job.descriptionPath = m_install + QStringLiteral("Curvewright/Warm.zidf");
    job.curvewrightVersion = QStringLiteral("1.2.0.0");
    return runCurvewright(job, m_report, m_graphs, timeLimitMs);
}

QStringList TestCurveCreationRun::logLines() const
{
    QFile log(m_work + QStringLiteral("CurvewrightLog.txt"));
    if (!log.open(QIODevice::ReadOnly))
        return {QStringLiteral("(no log)")};
    QString text = QString::fromLocal8Bit(log.readAll());
    if (!text.endsWith(QStringLiteral("\r\n")))
        return {QStringLiteral("(log without line end)")};
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

QStringList TestCurveCreationRun::leftoverTemporaryFiles() const
{
    return QDir(m_work).entryList({QStringLiteral("Zor*")}, QDir::Files) +
           QDir(m_install).entryList({QStringLiteral("Zor*.tmp")}, QDir::Files);
}

void TestCurveCreationRun::outcomes_data()
{
    QTest::addColumn<QByteArray>("tool");
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<QStringList>("report");
    QTest::addColumn<bool>("reportShown");

    QTest::newRow("two lines and a curve")
        << "echo 'Gray inks: K, LK' >&2\necho 'Default limit 70' >&2\n" + kMakeCurve << true
        << QStringList{"Gray inks: K, LK", "Default limit 70"} << true;
    QTest::newRow("one line and no curve")
        << QByteArray("echo 'ERROR: no ink is used' >&2\n") << false
        << QStringList{"ERROR: no ink is used", "Curve Creation failed."} << true;
    QTest::newRow("nothing and no curve")
        << QByteArray("exit 3\n") << false << QStringList{"Curve Creation failed."} << false;
    QTest::newRow("one line and a curve")
        << "echo 'Made it' >&2\n" + kMakeCurve << true << QStringList{"Made it"} << false;
    QTest::newRow("report without a last line end, CR LF inside")
        << "printf 'first\\r\\nsecond' >&2\n" + kMakeCurve << true << QStringList{"first", "second"}
        << true;
}

void TestCurveCreationRun::outcomes()
{
    QFETCH(QByteArray, tool);
    QFETCH(bool, succeeded);
    QFETCH(QStringList, report);
    QFETCH(bool, reportShown);

    writeTool(tool);
    const CurveCreationOutcome outcome = run();

    QVERIFY2(outcome.error.isEmpty(), qPrintable(outcome.error));
    QCOMPARE(outcome.succeeded, succeeded);
    const QStringList expected = QStringList{"Curvewright version 1.2.0.0"} + report;
    QCOMPARE(outcome.report, expected);
    QCOMPARE(logLines(), expected);
    if (reportShown)
        QCOMPARE(m_shownReports, QList<QStringList>{QStringList{"Curvewright Report"} + report});
    else
        QVERIFY(m_shownReports.isEmpty());
    QCOMPARE(m_graphs->isVisible(), succeeded);
    QCOMPARE(leftoverTemporaryFiles(), QStringList());
    QVERIFY(!QApplication::overrideCursor());
}

void TestCurveCreationRun::toolCalledFromInstallFolderWithDescription()
{
    writeTool(kMakeCurve);
    run();
    QFile folder(m_install + QStringLiteral("called-in.txt"));
    QVERIFY(folder.open(QIODevice::ReadOnly));
    QCOMPARE(QDir(QString::fromLocal8Bit(folder.readAll().trimmed())).canonicalPath(),
             QDir(m_install).canonicalPath());
    QFile arguments(m_install + QStringLiteral("called-with.txt"));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll(),
             "./bin/Curvewright\n" +
                 (m_install + QStringLiteral("Curvewright/Warm.zidf")).toLocal8Bit() + '\n');
}

void TestCurveCreationRun::rewriteWithinTheSameSecondCounts()
{
    // The old curve, then the tool writes the same bytes into the same file at once.
    writeTool(kMakeCurve);
    QVERIFY(run().succeeded);
    m_graphs->hide();
    QVERIFY(run().succeeded);

    // A tool that leaves an existing curve alone has failed.
    writeTool("echo 'nothing to do' >&2\n");
    QVERIFY(!run().succeeded);
}

void TestCurveCreationRun::toolThatCannotStart()
{
    // No bin/Curvewright at all.
    const CurveCreationOutcome outcome = run();
    QCOMPARE(outcome.error, QStringLiteral("Could not start Curvewright"));
    QVERIFY(!outcome.succeeded);
    QCOMPARE(logLines(), QStringList{"Curvewright version 1.2.0.0"});
    QVERIFY(m_shownReports.isEmpty());
    QVERIFY(!m_graphs->isVisible());
    QCOMPARE(leftoverTemporaryFiles(), QStringList());
    QVERIFY(!QApplication::overrideCursor());
}

void TestCurveCreationRun::toolThatHangsIsStopped()
{
    writeTool("echo 'working' >&2\nexec sleep 60\n");
    QElapsedTimer clock;
    clock.start();
    const CurveCreationOutcome outcome = run(300);
    QVERIFY(clock.elapsed() < 20000);
    QVERIFY(!outcome.succeeded);
    QCOMPARE(outcome.report, (QStringList{"Curvewright version 1.2.0.0", "working",
                                          "Curvewright did not finish in time and was stopped.",
                                          "Curve Creation failed."}));
    QCOMPARE(m_shownReports.size(), 1);
    QCOMPARE(leftoverTemporaryFiles(), QStringList());
}

void TestCurveCreationRun::graphsOpenOnTheNewCurve_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("linearizationTab");

    QTest::newRow("with linearization") << kLinearization << true;
    QTest::newRow("without") << QByteArray("echo 'no linearization'\n") << false;
}

void TestCurveCreationRun::graphsOpenOnTheNewCurve()
{
    QFETCH(QByteArray, output);
    QFETCH(bool, linearizationTab);

    writeTool(kMakeCurve + output);
    QVERIFY(run().succeeded);
    QVERIFY(m_graphs->isVisible());
    QCOMPARE(m_graphs->CurveFile, m_install + QStringLiteral("Zorlane/Zorl3800/Warm.zorl"));
    QCOMPARE(m_graphs->Graphs->indexOf(m_graphs->Linearization) >= 0 &&
                 m_graphs->Graphs->isTabVisible(m_graphs->Graphs->indexOf(m_graphs->Linearization)),
             linearizationTab);
    QVERIFY(m_dialogs->shown().isEmpty());
}

QTEST_MAIN(TestCurveCreationRun)
#include "tst_curvecreationrun.moc"
