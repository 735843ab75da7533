#include "FormFixture.h"
#include "TZorGraphs.h"

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QContextMenuEvent>
#include <QLineSeries>
#include <QMenu>
#include <QTimer>

using namespace fixture;

namespace {

struct WithModel : Installation
{
    WithModel() { touch(bin() + "Diridu.ini", "[Printer]\r\nPrintingModel=Zorl3800\r\n"); }
    QString curveFolder() const { return root() + "Zorlane/Zorl3800/"; }
};

void closeUp(QComboBox *box, const QString &curve)
{
    const int index = box->findText(curve);
    QVERIFY2(index > 0, qPrintable(curve));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Right-clicks box and picks "Show Curve Graph" in the menu that opens; the menu that
// opened, or nullptr when none did.
QMenu *showGraphFromPopup(QComboBox *box)
{
    QMenu *opened = nullptr;
    QTimer::singleShot(0, box, [&opened] {
        opened = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!opened)
            return;
        const QList<QAction *> actions = opened->actions();
        const auto item = std::find_if(actions.begin(), actions.end(), [](QAction *action) {
            return action->text() == QStringLiteral("Show Curve Graph");
        });
        if (item == actions.end()) {
            opened->close();
            return;
        }
        QTest::mouseClick(opened, Qt::LeftButton, {}, opened->actionGeometry(*item).center());
    });
    const QPoint at = box->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, box->mapToGlobal(at));
    QApplication::sendEvent(box, &event);
    return opened;
}

QStringList visibleSeries(const TZorGraphs &graphs)
{
    QStringList names;
    for (QAbstractSeries *series : graphs.InkCurvesChart->chart()->series())
        if (series->isVisible())
            names.append(series->name());
    return names;
}

} // namespace

class TestCurveGraphMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void popupShowsTheCurvesGraph();
    void curveFileOfAnyLetterCase();
    void damagedCurveShowsTheErrorOnly();

private:
    QTemporaryDir m_runtime;
};

// The window's request queue lives in a runtime folder of this test's own, apart from any
// Diridu that runs.
void TestCurveGraphMenu::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

// Curve1's graph and then Curve2's, each from its own popup, in the one window.
void TestCurveGraphMenu::popupShowsTheCurvesGraph()
{
    WithModel installation;
    Started started(installation);
    DiriduFormUi &ui = started.form->ui;
    TZorGraphs *graphs = started.form->ZorGraphs;
    QVERIFY(!graphs->isVisible());

    closeUp(ui.Curve1, "Warm");
    QCOMPARE(showGraphFromPopup(ui.Curve1), ui.Curve1Popup);
    QTRY_VERIFY(graphs->isVisible());
    QCOMPARE(graphs->windowTitle(), QStringLiteral("Graphs for Warm.zorl"));
    QCOMPARE(graphs->CurveFile, installation.curveFolder() + "Warm.zorl");
    QVERIFY(graphs->GraphOutputFile.isEmpty());
    // Zorl3800's inks are K,LK,LLK,C,M,Y,LC,LM; the demo's warm tone uses no cyan.
    QCOMPARE(visibleSeries(*graphs),
             (QStringList{"Magenta", "Yellow", "Black", "LtMagenta", "LtBlack", "Lt LtBlack"}));
    QVERIFY(graphs->InkCurvesChart->chart()->legend()->isVisible());
    QCOMPARE(graphs->InkLines[size_t(InkSeries::Black)]->count(), 256);
    QCOMPARE(graphs->Graphs->currentWidget(), graphs->InkCurves);

    closeUp(ui.Curve2, "Cool");
    QCOMPARE(showGraphFromPopup(ui.Curve2), ui.Curve2Popup);
    QTRY_COMPARE(graphs->windowTitle(), QStringLiteral("Graphs for Cool.zorl"));
    QVERIFY(graphs->isVisible());
    // The cool tone uses no yellow.
    QCOMPARE(visibleSeries(*graphs), (QStringList{"Cyan", "Magenta", "Black", "LtCyan", "LtMagenta",
                                                  "LtBlack", "Lt LtBlack"}));
    QVERIFY(started.dialogs.shown().isEmpty());
}

void TestCurveGraphMenu::curveFileOfAnyLetterCase()
{
    WithModel installation;
    touch(installation.curveFolder() + "Platinum.ZORL",
          "# ZORLANE K,C\n# K\n" + QByteArray("65535\n").repeated(256));
    Started started(installation);
    DiriduFormUi &ui = started.form->ui;
    QTRY_VERIFY(ui.Curve2->findText("Platinum") > 0);
    closeUp(ui.Curve2, "Platinum");
    QCOMPARE(showGraphFromPopup(ui.Curve2), ui.Curve2Popup);
    TZorGraphs *graphs = started.form->ZorGraphs;
    QTRY_VERIFY(graphs->isVisible());
    QCOMPARE(graphs->windowTitle(), QStringLiteral("Graphs for Platinum.ZORL"));
    // Cyan has no values yet, so it stays on beside black.
    QCOMPARE(visibleSeries(*graphs), (QStringList{"Cyan", "Black"}));
}

void TestCurveGraphMenu::damagedCurveShowsTheErrorOnly()
{
    WithModel installation;
    touch(installation.curveFolder() + "Damaged.zorl", "# ZORLANE K\n0\n12,5\n");
    Started started(installation);
    DiriduFormUi &ui = started.form->ui;
    closeUp(ui.Curve1, "Damaged");
    QCOMPARE(showGraphFromPopup(ui.Curve1), ui.Curve1Popup);
    QTRY_COMPARE(started.dialogs.shown().size(), 1);
    QCOMPARE(started.dialogs.shown().first().kind, RecordingDialogs::Kind::ApplicationError);
    QCOMPARE(started.dialogs.shown().first().text,
             QStringLiteral("'12,5' is not a valid integer value"));
    QVERIFY(!started.form->ZorGraphs->isVisible());
}

QTEST_MAIN(TestCurveGraphMenu)
#include "tst_curvegraphmenu.moc"
