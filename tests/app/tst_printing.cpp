#include "FormFixture.h"
#include "MailChannel.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"
#include "Events.h"
#include "TErrorDisplay.h"
#include "ToolTestTiff.h"
#include "UserFolders.h"
#include "ZorError.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <functional>
#include <utility>

using namespace fixture;

namespace {

const QString kQueue = QStringLiteral("Epson_Stylus_Pro_3800");

QString captureFile()
{
    return QStringLiteral(DIRIDU_TEST_CUPS_DIR "/") + kQueue + QStringLiteral(".out");
}

qint64 captured()
{
    return QFileInfo(captureFile()).size();
}

// An installation with the stand-in tools, the model of the queue saved as the choice.
struct PrintingInstallation : Installation
{
    PrintingInstallation()
    {
        for (const char *tool : {"Rastermill", "Inkforge", "Spoolgate"}) {
            const QString target = bin() + QLatin1String(tool);
            QFile::copy(QStringLiteral(DIRIDU_PROGRAM_DIR "/") + QLatin1String(tool), target);
            QFile::setPermissions(target, QFile::ReadOwner | QFile::ExeOwner);
        }
        touch(bin() + "Diridu.ini", "[Printer]\r\nPrintingModel=Zorl3800\r\nPrinterName=" +
                                        kQueue.toLatin1() + "\r\n");
    }

    QString photo(const QString &name = QStringLiteral("photo.tif")) const
    {
        ToolTiff tiff;
        tiff.width = 300;
        tiff.height = 240;
        tiff.rowsPerStrip = 16;
        tiff.xResolution = tiff.yResolution = 100;
        const QString path = root() + name;
        writeToolTiff(path, tiff, [](uint32_t x, uint32_t y, int) { return (x + y) % 256; });
        return path;
    }
};

// A process id written to a file, once the file is complete; 0 before.
pid_t pidIn(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? pid_t(file.readAll().trimmed().toInt()) : 0;
}

bool gone(pid_t pid)
{
    return pid > 0 && ::kill(pid, 0) < 0 && errno == ESRCH;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Recording dialogs that, like a real modal box, let events run while the application's
// error box is up, and do something meanwhile.
struct BusyErrorBoxDialogs : RecordingDialogs
{
    std::function<void()> whileShown;

    void applicationError(const QString &text) override
    {
        RecordingDialogs::applicationError(text);
        if (const auto action = std::exchange(whileShown, nullptr))
            action();
        QCoreApplication::processEvents();
    }
};

struct PrintingStarted : Started
{
    explicit PrintingStarted(const Installation &installation)
        : Started(installation, {{kQueue, "Office_Printer"}, kQueue})
    {
    }
};

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void printCommandPrintsThroughTheQueue_data();
    void printCommandPrintsThroughTheQueue();
    void printReadyNamesEveryMissingChoice();
    void onlyTiffNamesArePrinted_data();
    void onlyTiffNamesArePrinted();
    void openedFilesWaitWithoutAutoprint();
    void toolErrorsAreShownPerTool();
    void secondStartHandsItsFileOver();
    void relativePathsAreTheCallers();
    void secondStartSaysWhenNobodyTakesItsFiles();
    void requestsQueuedDuringAPrintFollowInOrder();
    void droppedFilesArePrintedInOrder();
    void calibrationModeComesAndGoesExactly_data();
    void calibrationModeComesAndGoesExactly();
    void calibrationPrintSendsTheDefaultCurves();
    void watchedFolderPrintsWhatLandsInIt();
    void cancelStopsAHungRequest_data();
    void cancelStopsAHungRequest();
    void exitDuringAPrintLeavesTheQueue();
    void notificationsDuringAnErrorBoxAreServed();
    void signalDuringAMessageBoxEndsTheProgram();
    void signalDuringAPrintEndsTheProgram();
    void readOnlyInstallationWritesInTheUsersFolders_data();
    void readOnlyInstallationWritesInTheUsersFolders();

private:
    static QString noteJobsIn(const PrintingInstallation &installation);
    static QString hangSpoolgate(const PrintingInstallation &installation);
    static bool startDiridu(QProcess &diridu, const PrintingInstallation &installation,
                            const QTemporaryDir &runtime, const QStringList &arguments);
    QTemporaryDir m_runtime;
    std::unique_ptr<SingleInstanceGuard> m_guard;
};

void TestPrinting::initTestCase()
{
    // This test process is the running instance: it owns the request queue.
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    m_guard = std::make_unique<SingleInstanceGuard>();
    QVERIFY(!m_guard->isAnotherInstance());
}

void TestPrinting::printCommandPrintsThroughTheQueue_data()
{
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QString>("name");
    QTest::newRow("pipes") << false << "photo.tif";
    // Nothing in the name may reach a shell as a command.
    QTest::newRow("batch, hostile name")
        << true << "a \"b\" 'c' $(touch pwned) `touch pwned2` ;x.TIF";
}

void TestPrinting::printCommandPrintsThroughTheQueue()
{
    QFETCH(bool, batch);
    QFETCH(QString, name);
    PrintingInstallation installation;
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    QVERIFY(form.mailChannel()->isListening());
    form.ui.UseBatch->setChecked(batch);
    const QString photo = installation.photo(name);
    form.ProbeImage(photo);
    const qint64 before = captured();

    form.PrintFileClick();
    QVERIFY(!form.ui.PrintFile->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(form.ImagePath.isEmpty(), 20000);
    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    QTRY_VERIFY_WITH_TIMEOUT(captured() > before, 20000);

    QFile log(installation.root() + "ZorLog.txt");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains("Print"));
    if (!batch)
        QVERIFY(text.contains(QFile::encodeName(photo)));
    QVERIFY(!QFile::exists(installation.root() + "pwned"));
    QVERIFY(!QFile::exists(installation.root() + "pwned2"));
    QVERIFY(QDir(installation.root()).entryList({"Zor*.tmp", "Zor*.sh"}).isEmpty());
    QCOMPARE(form.ui.FilePrinting->text(), QStringLiteral("No Image selected"));
}

void TestPrinting::printReadyNamesEveryMissingChoice()
{
    Installation installation; // nothing saved: no model, no queue, no curves
    Started started(installation, {{}, QString()});
    QVERIFY(!started.form->PrintReady());
    QCOMPARE(started.dialogs.texts(),
             QStringList({"You have not selected a Printing Model.",
                          "You have not selected a Printer.", "You have not selected Curve1.",
                          "You have not selected Curve2."}));
    for (const auto &shown : started.dialogs.shown())
        QCOMPARE(shown.buttons, QStringList{"Cancel"});
}

void TestPrinting::onlyTiffNamesArePrinted_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("upper case") << "print.TIF" << true;
    QTest::newRow("mixed case tiff") << "print.Tiff" << true;
    QTest::newRow("backup") << "print.tif.bak" << false;
    QTest::newRow("jpeg") << "print.jpg" << false;
}

void TestPrinting::onlyTiffNamesArePrinted()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    PrintingInstallation installation;
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    form.ui.DragDropAutoPrint->setChecked(false);
    const QString path = installation.root() + name;
    form.mailChannel()->write(makeMailMessage(MailCode::Open, path));
    form.WMCheckMail();
    if (accepted) {
        QVERIFY(started.dialogs.shown().isEmpty());
        QCOMPARE(form.ImagePath, path);
    } else {
        QCOMPARE(started.dialogs.texts(),
                 QStringList{QStringLiteral("Dropped images must be in TIFF format. \"%1\" is "
                                            "not a TIFF file")
                                 .arg(path)});
        QVERIFY(form.ImagePath.isEmpty());
    }
}

void TestPrinting::openedFilesWaitWithoutAutoprint()
{
    PrintingInstallation installation;
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    form.ui.DragDropAutoPrint->setChecked(false);
    const QString first = installation.photo("first.tif");
    const QString second = installation.photo("second.tif");
    form.mailChannel()->write(makeMailMessage(MailCode::Open, first));
    form.mailChannel()->write(makeMailMessage(MailCode::Open, second));
    const qint64 before = captured();
    form.WMCheckMail();
    // The first is shown, not printed; the second waits for the next notification.
    QCOMPARE(form.ImagePath, first);
    QCOMPARE(form.mailChannel()->count(), 1);
    form.WMCheckMail();
    QCOMPARE(form.ImagePath, second);
    QCOMPARE(captured(), before);
    QVERIFY(!QFile::exists(installation.root() + "ZorLog.txt"));
}

void TestPrinting::toolErrorsAreShownPerTool()
{
    PrintingInstallation installation;
    // An Inkforge that complains and passes nothing on.
    const QString inkforge = installation.bin() + "Inkforge";
    QFile::remove(inkforge);
    touch(inkforge, "#!/bin/sh\ncat >/dev/null\necho 'ERROR curve file damaged' >&2\nexit 1\n");
    QFile::setPermissions(inkforge, QFile::ReadOwner | QFile::ExeOwner);
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    form.ProbeImage(installation.photo());

    // The error display is modal: look at it once it is up, then close it.
    bool shownWithInkforgeTab = false;
    QTimer watch;
    watch.setInterval(10);
    connect(&watch, &QTimer::timeout, form.ErrorDisplay, [&] {
        if (!form.ErrorDisplay->isVisible())
            return;
        watch.stop();
        const auto *pages = form.ErrorDisplay->findChild<QTabWidget *>("ErrorPages");
        // Spoolgate, left without data, may complain too; Rastermill did its part.
        shownWithInkforgeTab = !pages->isTabVisible(0) && pages->isTabVisible(1);
        form.ErrorDisplay->OKBtn->click();
    });
    watch.start();
    try {
        form.ProcessPrintRequest(installation.root() + "photo.tif", "Print");
    } catch (const ZorError &) {
    }
    QVERIFY(shownWithInkforgeTab);
    QCOMPARE(form.ErrorDisplay->InkforgeList->item(0)->text(),
             QStringLiteral("ERROR curve file damaged"));
}

void TestPrinting::secondStartHandsItsFileOver()
{
    PrintingInstallation installation;
    const QString photo = installation.photo();
    QTemporaryDir runtime;
    QVERIFY(QFile::copy(QStringLiteral(DIRIDU_EXECUTABLE), installation.bin() + "Diridu"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());

    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(installation.bin() + "Diridu", {});
    QVERIFY(first.waitForStarted());
    // The first start is up once its request queue listens.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtime.path() + "/DiriduMail"), 10000);
    const qint64 before = captured();

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(installation.bin() + "Diridu", {photo, installation.photo("second.tif")});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    // Autoprint is on by default: the running instance prints both files it was handed.
    QTRY_VERIFY_WITH_TIMEOUT(captured() > before, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile(installation.root() + "ZorLog.txt").exists(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QFile log(installation.root() + "ZorLog.txt");
            return log.open(QIODevice::ReadOnly) && log.readAll().contains("second.tif");
        }(),
        20000);

    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
}

static bool logMentions(const PrintingInstallation &installation, const QString &path)
{
    QFile log(installation.root() + "ZorLog.txt");
    return log.open(QIODevice::ReadOnly) && log.readAll().contains(QFile::encodeName(path));
}

// The tools work in the install folder and the running instance in its own: a relative
// name means the caller's folder, for the first start and for a second one.
void TestPrinting::relativePathsAreTheCallers()
{
    PrintingInstallation installation;
    QVERIFY(QDir(installation.root()).mkpath("first/inner"));
    QVERIFY(QDir(installation.root()).mkpath("second"));
    const QString a = installation.photo("first/a.tif");
    const QString b = installation.photo("second/b.tif");
    QTemporaryDir runtime;
    QVERIFY(QFile::copy(QStringLiteral(DIRIDU_EXECUTABLE), installation.bin() + "Diridu"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setWorkingDirectory(installation.root() + "first/inner");
    first.start(installation.bin() + "Diridu", {"../a.tif"});
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(logMentions(installation, a), 20000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(installation.root() + "second");
    second.start(installation.bin() + "Diridu", {"./b.tif"});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(logMentions(installation, b), 20000);

    ::kill(pid_t(first.processId()), SIGTERM);
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
}

// This process holds the lock but listens nowhere: the second start's files go nowhere,
// and it says so instead of ending as if they had been taken.
void TestPrinting::secondStartSaysWhenNobodyTakesItsFiles()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(DIRIDU_EXECUTABLE), {"/tmp/photo.tif"});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardError().contains("could not be handed the files"));
}

// A Spoolgate that notes the document name of each job and takes a moment doing it;
// returns the file the names go to.
QString TestPrinting::noteJobsIn(const PrintingInstallation &installation)
{
    const QString spoolgate = installation.bin() + "Spoolgate";
    const QString jobs = installation.root() + "jobs.txt";
    QFile::remove(spoolgate);
    touch(spoolgate, "#!/bin/sh\ncat >/dev/null\nsleep 0.3\necho \"$3\" >> '" +
                         QFile::encodeName(jobs) + "'\n");
    QFile::setPermissions(spoolgate, QFile::ReadOwner | QFile::ExeOwner);
    return jobs;
}

// A Spoolgate that notes the document name, then its process id, and never ends; returns
// the file with the id (the names go to jobs.txt as with noteJobsIn).
QString TestPrinting::hangSpoolgate(const PrintingInstallation &installation)
{
    const QString spoolgate = installation.bin() + "Spoolgate";
    const QByteArray jobs = QFile::encodeName(installation.root() + "jobs.txt");
    const QByteArray pid = QFile::encodeName(installation.root() + "spoolgate.pid");
    QFile::remove(spoolgate);
    touch(spoolgate, "#!/bin/sh\necho \"$3\" >> '" + jobs + "'\necho $$ > '" + pid + ".tmp'\nmv '" +
                         pid + ".tmp' '" + pid + "'\ncat >/dev/null\nexec sleep 30\n");
    QFile::setPermissions(spoolgate, QFile::ReadOwner | QFile::ExeOwner);
    return QString::fromLocal8Bit(pid);
}

// The real program on the installation, in a session of its own (runtime folder).
bool TestPrinting::startDiridu(QProcess &diridu, const PrintingInstallation &installation,
                               const QTemporaryDir &runtime, const QStringList &arguments)
{
    const QString program = installation.bin() + "Diridu";
    if (!QFile::exists(program) && !QFile::copy(QStringLiteral(DIRIDU_EXECUTABLE), program))
        return false;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    diridu.setProcessEnvironment(environment);
    diridu.start(program, arguments);
    return diridu.waitForStarted();
}

static QStringList linesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
               : QStringList();
}

// Requests written while a print runs are read by the loop already running, in order.
void TestPrinting::requestsQueuedDuringAPrintFollowInOrder()
{
    PrintingInstallation installation;
    const QString jobs = noteJobsIn(installation);
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    QStringList photos;
    for (const char *name : {"one.tif", "two.tif", "three.tif", "four.tif"})
        photos.append(installation.photo(name));

    form.mailChannel()->write(makeMailMessage(MailCode::Print, photos.at(0)));
    bool queuedDuringPrint = false;
    QTimer::singleShot(100, &form, [&] {
        for (int i = 1; i < photos.size(); ++i)
            form.mailChannel()->write(makeMailMessage(MailCode::Print, photos.at(i)));
        // The notification finds the reader busy; the running loop takes the messages.
        QCoreApplication::postEvent(&form, new QEvent(WM_CHECKMAIL));
        queuedDuringPrint = true;
    });
    form.WMCheckMail();
    QVERIFY(queuedDuringPrint);
    QCOMPARE(form.mailChannel()->count(), 0);
    QCOMPARE(linesOf(jobs), QStringList({"one.tif", "two.tif", "three.tif", "four.tif"}));
}

void TestPrinting::droppedFilesArePrintedInOrder()
{
    PrintingInstallation installation;
    const QString jobs = noteJobsIn(installation);
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    QVERIFY(form.ui.DragDropAutoPrint->isChecked());
    QDir(installation.root()).mkdir("album");
    // What the window's drop handling hands on: the names, in the order given.
    QVERIFY(form.acceptDrops());
    form.DropFileTargetDrop({installation.photo("c.tif"), installation.root() + "album",
                             installation.photo("a.tif"), installation.photo("b.tif")});
    QTRY_COMPARE_WITH_TIMEOUT(linesOf(jobs), QStringList({"c.tif", "a.tif", "b.tif"}), 20000);
    QCOMPARE(started.dialogs.texts(),
             QStringList{QStringLiteral("Dropped images must be in TIFF format. \"%1\" is not "
                                        "a TIFF file")
                             .arg(installation.root() + "album")});
}

void TestPrinting::calibrationModeComesAndGoesExactly_data()
{
    QTest::addColumn<bool>("presetShown");
    QTest::newRow("preset shown") << true;
    QTest::newRow("preset hidden") << false;
}

void TestPrinting::calibrationModeComesAndGoesExactly()
{
    QFETCH(bool, presetShown);
    PrintingInstallation installation;
    touch(installation.bin() + "ChannelWedge.tif");
    PrintingStarted started(installation);
    DiriduFormUi &ui = started.form->ui;
    ui.CurveBlend->setValue(30);
    ui.GammaBlend->setValue(-7);
    ui.LimitBlend->setValue(12);
    ui.PresetLbl->setText("Warm");
    ui.PresetLbl->setVisible(presetShown);

    ui.CalibrationMode->trigger();
    QVERIFY(ui.CalibrationMode->isChecked());
    QCOMPARE(ui.CurveBlendValue->text(), QStringLiteral("100"));
    QCOMPARE(ui.GammaBlendValue->text(), QStringLiteral("0"));
    QCOMPARE(ui.LimitBlendValue->text(), QStringLiteral("0"));
    QVERIFY(!ui.GammaBlend->isEnabled() && !ui.LimitBlendValue->isEnabled());
    QVERIFY(ui.CurveBlend->isEnabled());
    QVERIFY(ui.CalibrationModeLbl->isVisible() && !ui.Curve1->isVisible());
    QCOMPARE(ui.CurvesBox->title(), QStringLiteral("Ink"));
    QVERIFY(!ui.PresetLbl->isVisible());

    ui.CalibrationMode->trigger();
    QCOMPARE(ui.CurveBlend->value(), 30);
    QCOMPARE(ui.GammaBlend->value(), -7);
    QCOMPARE(ui.LimitBlend->value(), 12);
    QCOMPARE(ui.CurveBlendValue->text(), QStringLiteral("70"));
    QCOMPARE(ui.PresetLbl->text(), QStringLiteral("Warm"));
    QCOMPARE(ui.PresetLbl->isVisible(), presetShown);
    QVERIFY(ui.GammaBlend->isEnabled() && ui.Curve1->isVisible());
    QCOMPARE(ui.CurvesBox->title(), QStringLiteral("Curves"));
}

void TestPrinting::calibrationPrintSendsTheDefaultCurves()
{
    PrintingInstallation installation;
    const QString wedge = installation.photo("ChannelWedge.tif");
    QVERIFY(QFile::rename(wedge, installation.bin() + "ChannelWedge.tif"));
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    form.ui.Curve1->setCurrentIndex(form.ui.Curve1->count() - 1);
    form.ui.CalibrationMode->trigger();
    // Entering the mode opens the calibration target.
    QCOMPARE(form.ImagePath, installation.bin() + "ChannelWedge.tif");
    form.ProcessPrintRequest(form.ImagePath, "Print");
    QFile log(installation.root() + "ZorLog.txt");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    QVERIFY(text.contains("ColorModel=ZorCal"));
    QVERIFY(!text.contains("ColorModel=ZorRIP"));
    QVERIFY(text.contains("ripCurve1=ZorNeutral ripCurve2=ZorNeutral ripBlend=100"));
    QVERIFY(text.contains("ripGamma=0 ripLimit=0"));
}

void TestPrinting::watchedFolderPrintsWhatLandsInIt()
{
    PrintingInstallation installation;
    const QString jobs = noteJobsIn(installation);
    const QString folder = installation.root() + "hot";
    QVERIFY(QDir().mkpath(folder));
    {
        PrintingStarted started(installation);
        TDiriduForm &form = *started.form;
        started.dialogs.setNextFolder(folder);
        form.ui.MonitorFolder1->trigger();
        QVERIFY(form.ui.StopMonitoring->isEnabled());
        QCOMPARE(form.ui.StatusPanel0->text(), QStringLiteral(" Monitoring"));
        QVERIFY(QFileInfo(folder + "/Processed").isDir());

        installation.photo("hot/b.tif");
        installation.photo("hot/a.tif");
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(jobs), QStringList({"a.tif", "b.tif"}), 30000);
        QVERIFY(QFileInfo::exists(folder + "/Processed/a.tif"));
        QVERIFY(QFileInfo::exists(folder + "/Processed/b.tif"));
        QVERIFY(!QFileInfo::exists(folder + "/a.tif"));
        QVERIFY2(started.dialogs.shown().size() == 1, qPrintable(started.dialogs.texts().join('\n')));
        form.WriteSettings();
    }
    // Monitoring and its folder survive a restart.
    PrintingStarted again(installation);
    QVERIFY(again.form->ui.StopMonitoring->isEnabled());
    QCOMPARE(again.form->ui.StatusPanel0->text(), QStringLiteral(" Monitoring"));
    QCOMPARE(again.form->ui.StatusPanel1->text(), folder);
}

void TestPrinting::cancelStopsAHungRequest_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Escape") << true;
}

// A hung tool no longer blocks the window for good: the busy state offers Cancel.
void TestPrinting::cancelStopsAHungRequest()
{
    QFETCH(bool, escape);
    PrintingInstallation installation;
    const QString pidFile = hangSpoolgate(installation);
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    auto *cancel = form.findChild<QPushButton *>("CancelPrint");
    QVERIFY(cancel);
    QVERIFY(!cancel->isVisible());
    form.activateWindow();
    QTRY_VERIFY(form.isActiveWindow());
    const QString photo = installation.photo();
    form.ProbeImage(photo);

    bool offered = false;
    QTimer watch;
    watch.setInterval(20);
    connect(&watch, &QTimer::timeout, &form, [&] {
        if (pidIn(pidFile) == 0)
            return;
        watch.stop();
        offered = cancel->isVisible();
        if (escape)
            QTest::keyClick(&form, Qt::Key_Escape);
        else
            cancel->click();
    });
    watch.start();
    QElapsedTimer clock;
    clock.start();
    form.ProcessPrintRequest(photo, "Print");
    QVERIFY(clock.elapsed() < 20000);
    QVERIFY(offered);
    QVERIFY(!cancel->isVisible());
    // Cancelled on purpose: nothing to show, the log says what happened.
    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    QVERIFY(!form.ErrorDisplay->isVisible());
    QVERIFY(contentOf(installation.root() + "ZorLog.txt").contains("Cancelled: by the user"));
    QTRY_VERIFY(gone(pidIn(pidFile)));
}

// Exit during a print: the print stops, its tools are ended, the queue stays as it is.
void TestPrinting::exitDuringAPrintLeavesTheQueue()
{
    PrintingInstallation installation;
    const QString pidFile = hangSpoolgate(installation);
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    form.mailChannel()->write(makeMailMessage(MailCode::Print, installation.photo("one.tif")));
    form.mailChannel()->write(makeMailMessage(MailCode::Print, installation.photo("two.tif")));
    QTimer watch;
    watch.setInterval(20);
    connect(&watch, &QTimer::timeout, &form, [&] {
        if (pidIn(pidFile) == 0)
            return;
        watch.stop();
        form.ui.ExitProgram->trigger();
    });
    watch.start();
    QElapsedTimer clock;
    clock.start();
    form.WMCheckMail();
    QVERIFY(clock.elapsed() < 20000);
    QCOMPARE(linesOf(installation.root() + "jobs.txt"), QStringList{"one.tif"});
    QCOMPARE(form.mailChannel()->count(), 1);
    QTRY_VERIFY(gone(pidIn(pidFile)));
    QVERIFY(contentOf(installation.root() + "ZorLog.txt").contains("Cancelled: Diridu is closing"));
    QVERIFY(contentOf(installation.bin() + "Diridu.ini").contains("[Options]"));
    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    // Nothing more starts once the program is ending.
    form.WMCheckMail();
    QCOMPARE(form.mailChannel()->count(), 1);
}

// A request that arrives while the error box of a failed one is up is not lost.
void TestPrinting::notificationsDuringAnErrorBoxAreServed()
{
    PrintingInstallation installation;
    QFile::remove(installation.bin() + "Rastermill");
    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    BusyErrorBoxDialogs dialogs;
    Dialogs::setInstance(&dialogs);
    const auto restore = qScopeGuard([&] { Dialogs::setInstance(&started.dialogs); });
    const QString second = installation.photo("second.tif");
    dialogs.whileShown = [&] {
        form.mailChannel()->write(makeMailMessage(MailCode::Print, second));
        QCoreApplication::postEvent(&form, new QEvent(WM_CHECKMAIL));
    };
    form.mailChannel()->write(makeMailMessage(MailCode::Print, installation.photo("first.tif")));
    form.WMCheckMail();
    QTRY_COMPARE(form.mailChannel()->count(), 0);
    QTRY_COMPARE(dialogs.texts(),
                 QStringList({"Could not start Rastermill", "Could not start Rastermill"}));
    QCOMPARE(form.ImagePath, second);
}

// SIGTERM while a message box waits for an answer (the warnings of a queued print): the
// program ends, and neither that print nor the next one starts.
void TestPrinting::signalDuringAMessageBoxEndsTheProgram()
{
    PrintingInstallation installation;
    const QString jobs = noteJobsIn(installation);
    // At one pixel per inch the photograph is far larger than any paper.
    ToolTiff tiff;
    tiff.width = 300;
    tiff.height = 240;
    tiff.xResolution = tiff.yResolution = 1;
    const QString huge = installation.root() + "huge.tif";
    QVERIFY(writeToolTiff(huge, tiff, [](uint32_t, uint32_t, int) { return 128; }));
    QTemporaryDir runtime;
    QProcess diridu;
    QVERIFY(startDiridu(diridu, installation, runtime, {huge, installation.photo("next.tif")}));
    // The queue is there once the socket is; its first request is then already posted.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(runtime.path() + "/DiriduMail"), 10000);
    ::kill(pid_t(diridu.processId()), SIGTERM);
    QVERIFY2(diridu.waitForFinished(15000), diridu.readAllStandardError().constData());
    QCOMPARE(diridu.exitStatus(), QProcess::NormalExit);
    QCOMPARE(diridu.exitCode(), 0);
    QVERIFY(!QFile::exists(jobs));
    QVERIFY(!QFile::exists(installation.root() + "ZorLog.txt"));
    QVERIFY(contentOf(installation.bin() + "Diridu.ini").contains("huge.tif"));
}

// SIGTERM during a print: the wait ends, the hung tool is ended, the rest of the queue is
// not printed, and the program exits.
void TestPrinting::signalDuringAPrintEndsTheProgram()
{
    PrintingInstallation installation;
    const QString pidFile = hangSpoolgate(installation);
    QTemporaryDir runtime;
    QProcess diridu;
    QVERIFY(startDiridu(diridu, installation, runtime,
                        {installation.photo("one.tif"), installation.photo("two.tif")}));
    QTRY_VERIFY_WITH_TIMEOUT(pidIn(pidFile) > 0, 20000);
    ::kill(pid_t(diridu.processId()), SIGTERM);
    QVERIFY2(diridu.waitForFinished(15000), diridu.readAllStandardError().constData());
    QCOMPARE(diridu.exitCode(), 0);
    QTRY_VERIFY(gone(pidIn(pidFile)));
    QCOMPARE(linesOf(installation.root() + "jobs.txt"), QStringList{"one.tif"});
    QVERIFY(contentOf(installation.root() + "ZorLog.txt").contains("Cancelled: Diridu is closing"));
}

void TestPrinting::readOnlyInstallationWritesInTheUsersFolders_data()
{
    QTest::addColumn<bool>("batch");
    QTest::newRow("pipes") << false;
    QTest::newRow("batch") << true;
}

// An installation laid out by the package manager: the settings come from the user's
// configuration folder (seeded from the installation's copy), the log and the request's
// files go to the user's state folder, and nothing in the installation changes.
void TestPrinting::readOnlyInstallationWritesInTheUsersFolders()
{
    QFETCH(bool, batch);
    PrintingInstallation installation;
    const QByteArray installedSettings = contentOf(installation.bin() + "Diridu.ini");
    // A quote and a blank in the user's folders: the script must name its files safely.
    QTemporaryDir user;
    const QString home = user.path() + QStringLiteral("/Ann's home/");
    QVERIFY(QDir().mkpath(home));
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "config"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home + "state"));
    const auto restoreEnvironment = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("XDG_STATE_HOME", oldState);
    });
    const QString root = installation.root();
    const ScopedFolderWritableCheck readOnly(
        [&](const QString &folder) { return !folder.startsWith(root); });

    PrintingStarted started(installation);
    TDiriduForm &form = *started.form;
    QCOMPARE(form.SettingsFolder, home + "config/zorlane/");
    QCOMPARE(form.WorkFolder, home + "state/zorlane/");
    // The seeded settings chose the queue's model.
    QCOMPARE(form.ui.PrintingModelName->currentText(), QStringLiteral("Zorl3800"));
    form.ui.UseBatch->setChecked(batch);
    form.ProbeImage(installation.photo());
    const qint64 before = captured();

    form.PrintFileClick();
    QTRY_VERIFY_WITH_TIMEOUT(form.ImagePath.isEmpty(), 20000);
    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    QTRY_VERIFY_WITH_TIMEOUT(captured() > before, 20000);

    QVERIFY(contentOf(form.WorkFolder + "ZorLog.txt").contains("***** End of Log *****"));
    QVERIFY(!QFile::exists(root + "ZorLog.txt"));
    for (const QString &folder : {root, form.WorkFolder})
        QVERIFY2(QDir(folder).entryList({"Zor*.tmp", "Zor*.sh"}).isEmpty(), qPrintable(folder));

    form.ui.UseBatch->setChecked(!batch);
    form.WriteSettings();
    QVERIFY(contentOf(form.SettingsFolder + "Diridu.ini")
                .contains(batch ? "BatchFiles=0" : "BatchFiles=1"));
    QCOMPARE(contentOf(installation.bin() + "Diridu.ini"), installedSettings);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
