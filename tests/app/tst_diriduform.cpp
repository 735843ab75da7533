#include "FormFixture.h"
#include "TInkDescription.h"
#include "TInkLoaderForm.h"
#include "TPrintingModel.h"
#include "UserFolders.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

using namespace fixture;

namespace {

QStringList demoModels()
{
    QStringList models;
    for (const QString &file : QDir(kDemo + QStringLiteral("/ppd")).entryList({"*.ppd"}))
        models.append(file.chopped(4));
    return models;
}

} // namespace

class TestDiriduForm : public QObject
{
    Q_OBJECT

private slots:
    void listsModelsSortedAndSelectsNone();
    void reportsMissingModelsOnceUp();
    void firstRunOpensConfiguringHelp_data();
    void firstRunOpensConfiguringHelp();
    void calibrationItemsNeedTheTarget_data();
    void calibrationItemsNeedTheTarget();
    void captionAndToolVersions();
    void printerQueuesAreListedSorted();
    void choosingAModelFillsItsBoxes_data();
    void choosingAModelFillsItsBoxes();
    void enterCommitsCentredEdits_data();
    void enterCommitsCentredEdits();
    void furtherWindowsExistHidden();
    void f1AsksForTheControlsHelpContext();
    void pasteButtonsFollowTheClipboard();
    void choosingAQueuePicksItsModel_data();
    void choosingAQueuePicksItsModel();
    void wheelOverAClosedModelChoiceDoesNothing_data();
    void wheelOverAClosedModelChoiceDoesNothing();
    void demoStartsReadyToPrint();
};

void TestDiriduForm::listsModelsSortedAndSelectsNone()
{
    Installation installation;
    touch(installation.root() + "ppd/ZorlR3000.PPD");
    touch(installation.root() + "ppd/readme.txt");
    Started started(installation);
    QStringList expected = demoModels() << QStringLiteral("ZorlR3000");
    std::sort(expected.begin(), expected.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(started.items("PrintingModelName"), expected);
    QCOMPARE(started.find<QComboBox>("PrintingModelName")->currentIndex(), -1);
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestDiriduForm::reportsMissingModelsOnceUp()
{
    Installation installation(false);
    Started started(installation);
    QCOMPARE(started.dialogs.shown().size(), 1);
    QCOMPARE(started.dialogs.shown().first().kind, RecordingDialogs::Kind::ApplicationError);
    QCOMPARE(started.dialogs.shown().first().text,
             QStringLiteral("No printer definitions found. Be sure Diridu is installed in the "
                            "same folder as Zorlane."));
}

void TestDiriduForm::firstRunOpensConfiguringHelp_data()
{
    // "bin/" files are the installation's, "user/" ones in the user's configuration folder.
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("settingsFile");
    QTest::addColumn<bool>("opens");
    QTest::newRow("first run") << false << QString() << true;
    QTest::newRow("settings saved") << false << QStringLiteral("bin/Diridu.ini") << false;
    QTest::newRow("settings in other case") << false << QStringLiteral("bin/diridu.INI") << false;
    QTest::newRow("settings in the user's folder only")
        << false << QStringLiteral("user/Diridu.ini") << true;
    QTest::newRow("read-only, first run") << true << QString() << true;
    QTest::newRow("read-only, user's own settings")
        << true << QStringLiteral("user/Diridu.ini") << false;
    QTest::newRow("read-only, seeded from the installation")
        << true << QStringLiteral("bin/Diridu.ini") << false;
}

void TestDiriduForm::firstRunOpensConfiguringHelp()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, settingsFile);
    QFETCH(bool, opens);
    Installation installation;
    QTemporaryDir user;
    const QString config = user.path() + QStringLiteral("/config/");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    qputenv("XDG_STATE_HOME", QFile::encodeName(user.path() + QStringLiteral("/state")));
    const auto restoreEnvironment = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("XDG_STATE_HOME", oldState);
    });
    QVERIFY(QDir().mkpath(config + QStringLiteral("zorlane")));
    if (settingsFile.startsWith(QLatin1String("bin/")))
        touch(installation.root() + settingsFile, "[Options]\r\n");
    else if (!settingsFile.isEmpty())
        touch(config + QStringLiteral("zorlane/") + settingsFile.mid(5), "[Options]\r\n");
    const QString root = installation.root();
    const ScopedFolderWritableCheck check(
        [&](const QString &folder) { return !(readOnly && folder.startsWith(root)); });

    Started started(installation);
    QCOMPARE(started.form->SettingsFolder,
             readOnly ? config + QStringLiteral("zorlane/") : installation.bin());
    const auto &requests = started.help.requests();
    QCOMPARE(requests.size(), opens ? 1 : 0);
    if (opens) {
        QCOMPARE(requests.first().kind, QStringLiteral("topic"));
        QCOMPARE(requests.first().target,
                 installation.bin() + QStringLiteral("DirIduHelp::/html/Configuring.htm"));
    }
}

void TestDiriduForm::calibrationItemsNeedTheTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("offered");
    QTest::newRow("no target") << QString() << false;
    QTest::newRow("target") << QStringLiteral("ChannelWedge.tif") << true;
    QTest::newRow("target in other case") << QStringLiteral("channelwedge.TIF") << true;
    QTest::newRow("other image") << QStringLiteral("ChannelWedge.tiff") << false;
}

void TestDiriduForm::calibrationItemsNeedTheTarget()
{
    QFETCH(QString, target);
    QFETCH(bool, offered);
    Installation installation;
    if (!target.isEmpty())
        touch(installation.bin() + target);
    Started started(installation);
    QCOMPARE(started.find<QAction>("CalibrationMode")->isVisible(), offered);
    QCOMPARE(started.find<QAction>("InkDescriptionMenu")->isVisible(), offered);
}

void TestDiriduForm::captionAndToolVersions()
{
    Installation installation;
    for (const auto &[name, version] :
         {std::pair{"Inkforge", "2, 8, 0, 1"}, std::pair{"Rastermill", "2.7.3.0"}}) {
        const QString path = installation.bin() + QLatin1String(name);
        touch(path, QByteArray("#!/bin/sh\necho '") + version + "'\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    Started started(installation);
    const QStringList version = QStringLiteral(DIRIDU_VERSION).split(QLatin1Char('.'));
    QCOMPARE(started.form->GuiVersion, version.join(QLatin1Char('.')));
    QCOMPARE(started.form->windowTitle(),
             QStringLiteral("Zorlane Graphical Interface Version ") +
                 QStringList(version.mid(0, 3)).join(QLatin1Char('.')));
    QCOMPARE(started.form->InkforgeVersion, QStringLiteral("2.8.0.1"));
    QCOMPARE(started.form->RastermillVersion, QStringLiteral("2.7.3.0"));
}

void TestDiriduForm::printerQueuesAreListedSorted()
{
    Installation installation;
    Started started(installation,
                    {{"Zeta", "EPSON Stylus Photo R2400", "alpha/draft", "Beta"}, "Beta"});
    QCOMPARE(started.items("PrinterList"),
             QStringList({"alpha/draft", "Beta", "EPSON Stylus Photo R2400", "Zeta"}));
    QCOMPARE(started.form->DefaultPrinterName, QStringLiteral("Beta"));
}

void TestDiriduForm::choosingAModelFillsItsBoxes_data()
{
    QTest::addColumn<QString>("model");
    for (const QString &model : demoModels())
        QTest::newRow(qPrintable(model)) << model;
}

void TestDiriduForm::choosingAModelFillsItsBoxes()
{
    QFETCH(QString, model);
    Installation installation;
    Started started(installation);
    auto *models = started.find<QComboBox>("PrintingModelName");
    const int index = models->findText(model);
    QVERIFY(index >= 0);
    models->setCurrentIndex(index);
    emit models->activated(index);

    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    const TPrintingModel &loaded = *started.form->PrintingModel;
    QVERIFY(!loaded.PageSizeValues.isEmpty());
    QCOMPARE(started.find<QComboBox>("PaperSize")->count(), loaded.PageSizeValues.size());
    QVERIFY(started.find<QComboBox>("PaperSize")->currentIndex() >= 0);
    QCOMPARE(started.find<QComboBox>("Resolution")->count(), loaded.ResolutionValues.size());
    QCOMPARE(started.find<QComboBox>("PaperFeed")->isEnabled(), !loaded.FeedValues.isEmpty());
    QCOMPARE(started.find<QComboBox>("RipSpeed")->isEnabled(), !loaded.SpeedValues.isEmpty());
    QCOMPARE(started.find<QComboBox>("RipBlack")->isEnabled(), !loaded.BlackValues.isEmpty());
    QCOMPARE(started.find<QLabel>("RipBlackLbl")->isEnabled(), !loaded.BlackValues.isEmpty());

    const QStringList curveFiles =
        QDir(installation.root() + "Zorlane/" + model).entryList({"*.zorl"}, QDir::Files);
    QVERIFY(curveFiles.size() >= 3);
    QCOMPARE(started.items("Curve1").size(), 1 + curveFiles.size());
    QCOMPARE(started.items("Curve2").size(), 1 + curveFiles.size());
    QVERIFY(started.find<QComboBox>("PrintingModelName")->toolTip().startsWith("Version "));
}

void TestDiriduForm::enterCommitsCentredEdits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("beeps");
    QTest::newRow("blend above range") << "CurveBlendValue" << "CurveBlend" << "140" << "100" << 0 << 0;
    QTest::newRow("blend leading zero") << "CurveBlendValue" << "CurveBlend" << "075" << "75" << 25 << 0;
    QTest::newRow("blend not a number") << "CurveBlendValue" << "CurveBlend" << "abc" << "50" << 50 << 2;
    QTest::newRow("gamma below range") << "GammaBlendValue" << "GammaBlend" << "-20" << "-15" << -15 << 0;
    QTest::newRow("gamma in range") << "GammaBlendValue" << "GammaBlend" << "7" << "7" << 7 << 0;
    QTest::newRow("limit above range") << "LimitBlendValue" << "LimitBlend" << "99" << "50" << 50 << 0;
    QTest::newRow("limit not a number") << "LimitBlendValue" << "LimitBlend" << "1.5" << "0" << 0 << 2;
}

void TestDiriduForm::enterCommitsCentredEdits()
{
    QFETCH(QString, field);
    QFETCH(QString, slider);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, position);
    QFETCH(int, beeps);
    Installation installation;
    Started started(installation);
    auto *edit = started.form->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(started.form->findChild<QSlider *>(slider)->value(), position);
    QCOMPARE(started.beeper.beeps(), beeps);
}

void TestDiriduForm::furtherWindowsExistHidden()
{
    Installation installation;
    Started started(installation);
    const QList<std::pair<const char *, const char *>> windows = {
        {"TFileExistsDlg", "File Exists"},    {"TLoadPresetsForm", "Load Presets"},
        {"TSavePresetsForm", "Save Preset"},   {"TRecentCounter", "Recent File Count"},
        {"TAboutBox", "About"},                {"TErrorDisplay", "Log File Error Display"},
        {"TSetDimension", "Set Dimension"},    {"TProfileErrors", "Curvewright Report"},
        {"TZorGraphs", "Graph of Curve "},     {"TInkLoaderForm", "Curve Detail"},
        {"TInkDescription", "Curve Creator"},  {"TCurvePreview", "Curve Preview"},
    };
    QStringList created;
    for (QObject *child : started.form->children()) {
        if (child->objectName() == QLatin1String(child->metaObject()->className()))
            created.append(child->objectName());
    }
    QStringList expected;
    for (const auto &[name, caption] : windows) {
        expected.append(QLatin1String(name));
        auto *window = started.form->findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(window, name);
        QCOMPARE(window->windowTitle(), QLatin1String(caption));
        QVERIFY(!window->isVisible());
    }
    QCOMPARE(created, expected);
    // The editor got the main window's model list, in the same order.
    QCOMPARE(started.form->InkDescription->PrintingModelName->count(),
             started.find<QComboBox>("PrintingModelName")->count());
}

void TestDiriduForm::f1AsksForTheControlsHelpContext()
{
    Installation installation;
    touch(installation.bin() + "Diridu.ini");
    Started started(installation);
    QApplication::setActiveWindow(started.form.get());
    auto *dither = started.find<QComboBox>("DitherType");
    dither->setFocus();
    QTRY_VERIFY(dither->hasFocus());
    QTest::keyClick(dither, Qt::Key_F1);
    QCOMPARE(started.help.requests().size(), 1);
    QCOMPARE(started.help.requests().first().kind, QStringLiteral("context"));
    QCOMPARE(started.help.requests().first().context, 1000);
    QCOMPARE(started.help.requests().first().target, installation.bin() + "DirIduHelp");
}

void TestDiriduForm::pasteButtonsFollowTheClipboard()
{
    Installation installation;
    Started started(installation);
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto *editorPaste = started.form->InkDescription->PasteBtn;
    auto *pointsPaste = started.form->InkLoaderForm->PasteBtn;
    clipboard->setText(QStringLiteral("0 0\n128 40000\n255 65535"));
    QTRY_VERIFY(editorPaste->isEnabled());
    QVERIFY(pointsPaste->isEnabled());
    auto *image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_RGB32));
    clipboard->setMimeData(image);
    QTRY_VERIFY(!editorPaste->isEnabled());
    QVERIFY(!pointsPaste->isEnabled());
}

void TestDiriduForm::choosingAQueuePicksItsModel_data()
{
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("model");
    QTest::newRow("listed model") << "EPSON Stylus Pro 3800" << "Zorl3800";
    QTest::newRow("R model") << "EPSON Stylus Photo R2400 (Copy 1)" << "ZorlR2400";
    QTest::newRow("model not listed") << "Office" << "";
}

void TestDiriduForm::choosingAQueuePicksItsModel()
{
    QFETCH(QString, queue);
    QFETCH(QString, model);
    Installation installation;
    // Zorl2400 must not be taken for ZorlR2400.
    QFile::copy(installation.root() + "ppd/ZorlR2400.ppd", installation.root() + "ppd/Zorl2400.ppd");
    Started started(installation,
                    {{"Office", "EPSON Stylus Pro 3800", "EPSON Stylus Photo R2400 (Copy 1)"}, ""});
    auto *queues = started.find<QComboBox>("PrinterList");
    const int index = queues->findText(queue);
    QVERIFY(index >= 0);
    queues->setCurrentIndex(index);
    emit queues->activated(index);
    QCOMPARE(started.find<QComboBox>("PrintingModelName")->currentText(), model);
    QCOMPARE(started.find<QComboBox>("PaperSize")->count() > 0, !model.isEmpty());
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestDiriduForm::wheelOverAClosedModelChoiceDoesNothing_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("delta");
    QTest::newRow("model, down") << "PrintingModelName" << -120;
    QTest::newRow("model, up") << "PrintingModelName" << 120;
    QTest::newRow("queue, down") << "PrinterList" << -120;
    QTest::newRow("queue, up") << "PrinterList" << 120;
}

// Choosing a model or a queue loads a model; the wheel passing over the box must not.
void TestDiriduForm::wheelOverAClosedModelChoiceDoesNothing()
{
    QFETCH(QString, box);
    QFETCH(int, delta);
    Installation installation;
    Started started(installation, {{"EPSON Stylus Photo 2200", "EPSON Stylus Pro 3800",
                                    "EPSON Stylus Photo R2400"},
                                   "EPSON Stylus Photo R2400"});
    auto *models = started.find<QComboBox>("PrintingModelName");
    const int chosen = models->findText("Zorl3800");
    models->setCurrentIndex(chosen);
    emit models->activated(chosen);
    auto *target = started.find<QComboBox>(qPrintable(box));
    const int before = target->currentIndex();
    QVERIFY(before > 0 && before < target->count() - 1);
    QSignalSpy activated(target, &QComboBox::activated);

    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    for (int notch = 0; notch < 3; ++notch) {
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    QCOMPARE(target->currentIndex(), before);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(models->currentText(), QStringLiteral("Zorl3800"));
}

// The demo installation's first start arrives with the demo queue's model chosen and its
// paper applied.
void TestDiriduForm::demoStartsReadyToPrint()
{
    Installation installation;
    QVERIFY(QFile::copy(DIRIDU_SOURCE_DIR "/demo/settings/Diridu.ini",
                        installation.bin() + "Diridu.ini"));
    Started started(installation, {{"EPSON_Stylus_Pro_3800"}, "EPSON_Stylus_Pro_3800"});
    QVERIFY2(started.dialogs.shown().isEmpty(), qPrintable(started.dialogs.texts().join('\n')));
    QCOMPARE(started.find<QComboBox>("PrinterList")->currentText(),
             QStringLiteral("EPSON_Stylus_Pro_3800"));
    QCOMPARE(started.find<QComboBox>("PrintingModelName")->currentText(),
             QStringLiteral("Zorl3800"));
    QCOMPARE(started.find<QComboBox>("PaperSize")->currentText(), QStringLiteral("Letter"));
    QCOMPARE(started.form->PageGeometry.PaperWidth, 8.5);
    QVERIFY(started.find<QComboBox>("RipSpeed")->currentIndex() >= 0);
    // The readiness check of every print finds nothing missing.
    QVERIFY(started.form->PrintReady());
    QCOMPARE(started.dialogs.texts(), QStringList());
}

QTEST_MAIN(TestDiriduForm)
#include "tst_diriduform.moc"
