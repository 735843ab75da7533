#include "TInkLoaderForm.h"

#include "Beeper.h"
#include "CurveCreationSettings.h"
#include "Dialogs.h"
#include "TCurvePreview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using Rows = QList<PointRow>;

namespace {

// Runs what a user does in the dialog once editCurve has shown it. The dialog's own work
// before it is shown (the beeps of a loaded point list) may run events, so the user waits
// for the dialog to be there.
void whenShown(TInkLoaderForm &form, std::function<void()> user)
{
    auto *poll = new QTimer(&form);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, user] {
        if (!form.isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the curve dialog did not become active");
        user();
        if (form.isVisible())
            form.reject(); // a failed check above must not leave the test hanging
    });
    poll->start();
}

QString pairsText(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("%1;%2 ").arg(i).arg(i + 1);
    return text;
}

} // namespace

class TestInkLoaderForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void designedDialog();
    void pointRowNames_data();
    void pointRowNames();
    void pasteFillsRows_data();
    void pasteFillsRows();
    void ctrlVPastesAndEmptyClipboardKeepsRows();
    void copyLeavesOutEmptyRows();
    void ctrlXCopiesAndEmpties();
    void clearEmptiesAllRows();
    void boxCheck_data();
    void boxCheck();
    void rowCheck_data();
    void rowCheck();
    void twoHalfRowsDoNotTrapTheFocus();
    void fileNameSlotAndOkOnPointList();
    void okStoresTheRows_data();
    void okStoresTheRows();
    void okRefusesAHalfFilledRow();
    void cancelLeavesTheCurve_data();
    void cancelLeavesTheCurve();
    void focusOnFirstInput();
    void preview_data();
    void preview();
    void browse_data();
    void browse();

private:
    std::unique_ptr<TInkLoaderForm> m_form;
    std::unique_ptr<TCurvePreview> m_preview;
    CurveCreationSettings m_settings;
    std::unique_ptr<ScopedCountingBeeper> m_beeper;
    std::unique_ptr<ScopedRecordingDialogs> m_dialogs;

    void showForm();
    void fillRows(const Rows &rows);
};

void TestInkLoaderForm::init()
{
    QLocale::setDefault(QLocale::c());
    m_form.reset();
    m_preview = std::make_unique<TCurvePreview>();
    m_form = std::make_unique<TInkLoaderForm>();
    m_settings = CurveCreationSettings{};
    m_form->setSettings(&m_settings);
    m_form->setCurvePreview(m_preview.get());
    m_form->PasteBtn->setEnabled(true); // as the main window does while there is text
    // The old services go first: each one's end restores the real service.
    m_beeper.reset();
    m_dialogs.reset();
    m_beeper = std::make_unique<ScopedCountingBeeper>();
    m_dialogs = std::make_unique<ScopedRecordingDialogs>();
    QGuiApplication::clipboard()->clear();
}

void TestInkLoaderForm::showForm()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestInkLoaderForm::fillRows(const Rows &rows)
{
    for (int row = 0; row < rows.size(); ++row) {
        m_form->InputBoxes[row]->setText(rows[row].input);
        m_form->OutputBoxes[row]->setText(rows[row].output);
    }
}

void TestInkLoaderForm::designedDialog()
{
    TInkLoaderForm &form = *m_form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Curve Detail"));
    QCOMPARE(form.findChild<QTabWidget *>("InkLoaderPages"), form.InkLoaderPages);
    QCOMPARE(form.InkLoaderPages->count(), 2);
    QCOMPARE(form.InkLoaderPages->widget(0)->objectName(), QStringLiteral("DataSet"));
    QCOMPARE(form.InkLoaderPages->tabText(0), QStringLiteral("Point List"));
    QCOMPARE(form.InkLoaderPages->widget(1)->objectName(), QStringLiteral("Curve"));
    QCOMPARE(form.InkLoaderPages->tabText(1), QStringLiteral("File Name"));

    auto *points = form.findChild<QGroupBox *>("DatasetBox");
    QVERIFY(points);
    QCOMPARE(points->title(), QStringLiteral("Curve Points"));
    QVERIFY(form.DataSet->isAncestorOf(points));
    for (int row = 1; row <= 50; ++row)
        QVERIFY(points->findChild<QWidget *>(QStringLiteral("Point%1").arg(row)));
    QVERIFY(!points->findChild<QWidget *>("Point51"));

    const QList<std::pair<const char *, QString>> buttons = {
        {"PasteBtn", "Paste Points"}, {"CopyBtn", "Copy Points"}, {"PreviewCurve", "Preview Curve"},
        {"ClearBtn", "Clear"},        {"Browse", "Browse"},       {"OKBtn", "OK"},
        {"CancelBtn", "Cancel"}};
    for (const auto &[name, text] : buttons) {
        auto *button = form.findChild<QPushButton *>(name);
        QVERIFY2(button, name);
        QCOMPARE(button->text(), text);
    }
    for (const char *name : {"PasteBtn", "CopyBtn", "PreviewCurve", "ClearBtn"})
        QVERIFY(form.DataSet->isAncestorOf(form.findChild<QPushButton *>(name)));
    auto *name = form.findChild<QLineEdit *>("LoadCurveName");
    QVERIFY(name);
    QVERIFY(form.Curve->isAncestorOf(name));
    QVERIFY(form.Curve->isAncestorOf(form.Browse));
    QCOMPARE(qobject_cast<QGroupBox *>(name->parentWidget())->title(),
             QStringLiteral("Curve Name"));
    QVERIFY(!TInkLoaderForm().PasteBtn->isEnabled());
}

void TestInkLoaderForm::pointRowNames_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::newRow("1") << 1 << "X1"
                       << "Y1";
    QTest::newRow("2") << 2 << "EditAlign1"
                       << "EditAlign2";
    QTest::newRow("3") << 3 << "EditAlign3"
                       << "EditAlign4";
    QTest::newRow("11") << 11 << "EditAlign19"
                        << "EditAlign20";
    QTest::newRow("50") << 50 << "EditAlign97"
                        << "EditAlign98";
}

void TestInkLoaderForm::pointRowNames()
{
    QFETCH(int, row);
    QFETCH(QString, input);
    QFETCH(QString, output);
    auto *point = m_form->findChild<QWidget *>(QStringLiteral("Point%1").arg(row));
    QVERIFY(point);
    const QObjectList children = point->children();
    QVERIFY(children.size() >= 2);
    QCOMPARE(children[0]->objectName(), input);
    QCOMPARE(children[1]->objectName(), output);
    QVERIFY(qobject_cast<QLineEdit *>(children[0]));
    QVERIFY(qobject_cast<QLineEdit *>(children[1]));
    QCOMPARE(m_form->InputBoxes[row - 1], children[0]);
    QCOMPARE(m_form->OutputBoxes[row - 1], children[1]);
}

void TestInkLoaderForm::pasteFillsRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Rows>("filled");
    QTest::addColumn<int>("beeps");

    QTest::newRow("semicolon pairs")
        << "0;0 25;30 50;55 100;100" << Rows{{"0", "0"}, {"25", "30"}, {"50", "55"}, {"100", "100"}}
        << 0;
    QTest::newRow("blank separated") << "0 0 25 30" << Rows{{"0", "0"}, {"25", "30"}} << 0;
    QTest::newRow("out of range corrected")
        << "120;50 30;-4" << Rows{{"100", "50"}, {"30", "0"}} << 4;
    QTest::newRow("odd count: the last row lacks its output")
        << "10 20 30" << Rows{{"10", "20"}, {"30", ""}} << 2;
    Rows fifty;
    for (int i = 0; i < 50; ++i)
        fifty.append({QString::number(i), QString::number(i + 1)});
    QTest::newRow("more than 50 points") << pairsText(60) << fifty << 0;
}

void TestInkLoaderForm::pasteFillsRows()
{
    QFETCH(QString, text);
    QFETCH(Rows, filled);
    QFETCH(int, beeps);

    fillRows(Rows(50, {"9", "9"}));
    QGuiApplication::clipboard()->setText(text);
    m_form->PasteBtn->click();

    const Rows rows = m_form->pointRows();
    QCOMPARE(rows.mid(0, filled.size()), filled);
    for (qsizetype i = filled.size(); i < rows.size(); ++i)
        QCOMPARE(rows[i], PointRow());
    QCOMPARE(m_beeper->beeps(), beeps);
}

void TestInkLoaderForm::ctrlVPastesAndEmptyClipboardKeepsRows()
{
    showForm();
    QLineEdit *box = m_form->OutputBoxes[3];
    box->setFocus();
    QGuiApplication::clipboard()->setText(QStringLiteral("5;6\t7;8\t"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_form->pointRows().mid(0, 3), (Rows{{"5", "6"}, {"7", "8"}, {}}));

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_form->pointRows().mid(0, 3), (Rows{{"5", "6"}, {"7", "8"}, {}}));
    m_form->PasteBtn->click();
    QCOMPARE(m_form->pointRows().mid(0, 3), (Rows{{"5", "6"}, {"7", "8"}, {}}));
}

void TestInkLoaderForm::copyLeavesOutEmptyRows()
{
    fillRows({{"0", "0"}, {"", ""}, {"100", "90"}});
    m_form->CopyBtn->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0;0\t100;90\t"));

    m_form->ClearBtn->click();
    m_form->PasteBtn->click();
    QCOMPARE(m_form->pointRows().mid(0, 3), (Rows{{"0", "0"}, {"100", "90"}, {}}));
    QCOMPARE(m_beeper->beeps(), 0);
}

void TestInkLoaderForm::ctrlXCopiesAndEmpties()
{
    showForm();
    fillRows({{"10", "11"}, {"20", "22"}});
    m_form->InputBoxes[0]->setFocus();
    QTest::keyClick(m_form->InputBoxes[0], Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("10;11\t20;22\t"));
    QCOMPARE(m_form->pointRows().first(), (PointRow{"10", "11"}));

    QGuiApplication::clipboard()->clear();
    QTest::keyClick(m_form->InputBoxes[0], Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("10;11\t20;22\t"));
    QCOMPARE(m_form->pointRows(), Rows(50));
}

void TestInkLoaderForm::clearEmptiesAllRows()
{
    fillRows(Rows(50, {"1", "2"}));
    m_form->LoadCurveName->setText(QStringLiteral("Kept.acv"));
    m_form->ClearBtn->click();
    QCOMPARE(m_form->pointRows(), Rows(50));
    QCOMPARE(m_form->LoadCurveName->text(), QStringLiteral("Kept.acv"));
}

void TestInkLoaderForm::boxCheck_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter"); // Enter instead of leaving the box
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("beeps");

    QTest::newRow("above 100") << "C"
                               << "120" << false << "100" << 2;
    QTest::newRow("above 100, Enter") << "C"
                                      << "120" << true << "100" << 2;
    QTest::newRow("below 0") << "C"
                             << "-3" << false << "0" << 2;
    QTest::newRow("not a number") << "C"
                                  << "abc" << false << "" << 2;
    QTest::newRow("in range") << "C"
                              << "55.5" << false << "55.5" << 0;
    QTest::newRow("comma locale") << "de_DE"
                                  << "55,5" << true << "55,5" << 0;
    QTest::newRow("point in a comma locale") << "de_DE"
                                             << "55.5" << true << "" << 2;
}

void TestInkLoaderForm::boxCheck()
{
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    QFETCH(QString, result);
    QFETCH(int, beeps);

    QLocale::setDefault(QLocale(locale));
    showForm();
    m_form->InputBoxes[0]->setText(QStringLiteral("10"));
    QLineEdit *output = m_form->OutputBoxes[0];
    output->setFocus();
    QTest::keyClicks(output, typed);
    QTest::keyClick(output, enter ? Qt::Key_Return : Qt::Key_Tab);
    QCOMPARE(output->text(), result);
    // An emptied output leaves the row half filled: its own two beeps send the focus back.
    const int rowBeeps = !enter && result.isEmpty() ? 2 : 0;
    QCOMPARE(m_beeper->beeps(), beeps + rowBeeps);
    QVERIFY(m_form->isVisible()); // Enter goes to the box, not to OK
}

void TestInkLoaderForm::rowCheck_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("goTo");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QString>("focus");

    QTest::newRow("only the input") << "25"
                                    << ""
                                    << "EditAlign5" << 2 << "Y1";
    QTest::newRow("only the output") << ""
                                     << "30"
                                     << "EditAlign5" << 2 << "X1";
    QTest::newRow("both") << "25"
                          << "30"
                          << "EditAlign5" << 0 << "EditAlign5";
    QTest::newRow("neither") << ""
                             << ""
                             << "EditAlign5" << 0 << "EditAlign5";
    QTest::newRow("to a button") << "25"
                                 << ""
                                 << "ClearBtn" << 2 << "Y1";
    QTest::newRow("within the row") << "25"
                                    << ""
                                    << "Y1" << 0 << "Y1";
    QTest::newRow("to Cancel") << "25"
                               << ""
                               << "CancelBtn" << 0 << "CancelBtn";
    QTest::newRow("output out of range, then half") << ""
                                                    << "300"
                                                    << "EditAlign5" << 4 << "X1";
}

void TestInkLoaderForm::rowCheck()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, goTo);
    QFETCH(int, beeps);
    QFETCH(QString, focus);

    showForm();
    m_form->InputBoxes[0]->setFocus();
    m_form->InputBoxes[0]->setText(input);
    m_form->OutputBoxes[0]->setText(output);
    auto *target = m_form->findChild<QWidget *>(goTo);
    QVERIFY(target);
    target->setFocus(Qt::MouseFocusReason);
    QCOMPARE(m_beeper->beeps(), beeps);
    QCOMPARE(QApplication::focusWidget()->objectName(), focus);
}

void TestInkLoaderForm::twoHalfRowsDoNotTrapTheFocus()
{
    showForm();
    fillRows({{"", "5"}, {"", "7"}});
    m_form->InputBoxes[0]->setFocus();
    m_form->OutputBoxes[1]->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), m_form->InputBoxes[0]);
    QCOMPARE(m_beeper->beeps(), 2);
}

void TestInkLoaderForm::fileNameSlotAndOkOnPointList()
{
    fillRows(Rows(50, {"1", "2"})); // from an earlier slot
    QString data = QStringLiteral("Warm.acv");
    CurveSource source = CurveSource::FileName;
    bool pageWasFileName = false;
    QString shownName;
    Rows shownRows;
    whenShown(*m_form, [&] {
        pageWasFileName = m_form->InkLoaderPages->currentWidget() == m_form->Curve;
        shownName = m_form->LoadCurveName->text();
        shownRows = m_form->pointRows();
        m_form->InkLoaderPages->setCurrentWidget(m_form->DataSet);
        m_form->OKBtn->click();
    });
    QVERIFY(m_form->editCurve(QStringLiteral("Light Black"), QString(), data, source));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Light Black"));
    QVERIFY(pageWasFileName);
    QCOMPARE(shownName, QStringLiteral("Warm.acv"));
    QCOMPARE(shownRows, Rows(50));
    QCOMPARE(source, CurveSource::PointList);
    QCOMPARE(data, QString());
}

void TestInkLoaderForm::okStoresTheRows_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typedOutput2"); // typed into row 2's output, empty for none
    QTest::addColumn<QString>("result");

    QTest::newRow("unchanged list") << "C"
                                    << "0;0 25;30 50;55 100;100 "
                                    << ""
                                    << "0;0 25;30 50;55 100;100 ";
    QTest::newRow("comma locale") << "de_DE"
                                  << "0;0 12,5;20 "
                                  << ""
                                  << "0;0 12,5;20 ";
    QTest::newRow("point list in another separator") << "de_DE"
                                                     << "0;0 12.5;20 "
                                                     << ""
                                                     << "0;0 12,5;20 ";
    QTest::newRow("edited output") << "C"
                                   << "0;0 25;30 "
                                   << "42"
                                   << "0;0 25;42 ";
    QTest::newRow("empty list") << "C"
                                << ""
                                << ""
                                << "";
    QTest::newRow("file name saved as point list") << "C"
                                                   << "Curve.acv"
                                                   << ""
                                                   << "";
}

void TestInkLoaderForm::okStoresTheRows()
{
    QFETCH(QString, locale);
    QFETCH(QString, stored);
    QFETCH(QString, typedOutput2);
    QFETCH(QString, result);

    QLocale::setDefault(QLocale(locale));
    m_form->LoadCurveName->setText(QStringLiteral("Earlier.acv"));
    QString data = stored;
    CurveSource source = CurveSource::PointList;
    QString shownName;
    whenShown(*m_form, [&] {
        shownName = m_form->LoadCurveName->text();
        if (!typedOutput2.isEmpty())
            m_form->OutputBoxes[1]->setText(typedOutput2);
        m_form->OKBtn->click();
    });
    QVERIFY(m_form->editCurve(QStringLiteral("Black"), QString(), data, source));
    QCOMPARE(shownName, QString());
    QCOMPARE(source, CurveSource::PointList);
    QCOMPARE(data, result);
}

void TestInkLoaderForm::okRefusesAHalfFilledRow()
{
    QString data = QStringLiteral("0 0 25");
    CurveSource source = CurveSource::PointList;
    bool stayedOpen = false;
    int beeps = 0;
    QWidget *focus = nullptr;
    whenShown(*m_form, [&] {
        m_beeper->reset();
        m_form->OKBtn->click();
        stayedOpen = m_form->isVisible();
        beeps = m_beeper->beeps();
        focus = QApplication::focusWidget();
        m_form->OutputBoxes[1]->setText(QStringLiteral("30"));
        m_form->OKBtn->click();
    });
    QVERIFY(m_form->editCurve(QStringLiteral("Black"), QString(), data, source));
    QVERIFY(stayedOpen);
    QCOMPARE(beeps, 2);
    QCOMPARE(focus, m_form->OutputBoxes[1]);
    QCOMPARE(data, QStringLiteral("0;0 25;30 "));
}

void TestInkLoaderForm::cancelLeavesTheCurve_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("how");
    for (const QString &how : {QStringLiteral("Cancel"), QStringLiteral("Escape")}) {
        QTest::addRow("point list, %s", qPrintable(how)) << int(CurveSource::PointList) << how;
        QTest::addRow("file name, %s", qPrintable(how)) << int(CurveSource::FileName) << how;
    }
}

void TestInkLoaderForm::cancelLeavesTheCurve()
{
    QFETCH(int, source);
    QFETCH(QString, how);

    const QString stored = source == int(CurveSource::PointList) ? QStringLiteral("0;0 100;100 ")
                                                                 : QStringLiteral("Warm.acv");
    QString data = stored;
    auto curveSource = CurveSource(source);
    whenShown(*m_form, [&] {
        m_form->InkLoaderPages->setCurrentIndex(1 - source);
        m_form->LoadCurveName->setText(QStringLiteral("Other.acv"));
        m_form->InputBoxes[0]->setText(QStringLiteral("5"));
        if (how == u"Cancel")
            m_form->CancelBtn->click();
        else
            QTest::keyClick(m_form.get(), Qt::Key_Escape);
    });
    QVERIFY(!m_form->editCurve(QStringLiteral("Black"), QString(), data, curveSource));
    QVERIFY(m_form->Cancelled);
    QCOMPARE(data, stored);
    QCOMPARE(curveSource, CurveSource(source));

    // The mark is cleared when the dialog is shown again.
    whenShown(*m_form, [&] {
        m_form->InkLoaderPages->setCurrentWidget(m_form->Curve);
        m_form->OKBtn->click();
    });
    QVERIFY(m_form->editCurve(QStringLiteral("Black"), QString(), data, curveSource));
    QVERIFY(!m_form->Cancelled);
    QCOMPARE(curveSource, CurveSource::FileName);
}

void TestInkLoaderForm::focusOnFirstInput()
{
    QString data = QStringLiteral("10;10 ");
    CurveSource source = CurveSource::PointList;
    QWidget *focusWhenShown = nullptr;
    QWidget *focusAfterSwitch = nullptr;
    whenShown(*m_form, [&] {
        focusWhenShown = QApplication::focusWidget();
        m_form->InkLoaderPages->setCurrentWidget(m_form->Curve);
        m_form->LoadCurveName->setFocus();
        m_form->InkLoaderPages->setCurrentWidget(m_form->DataSet);
        focusAfterSwitch = QApplication::focusWidget();
        m_form->CancelBtn->click();
    });
    m_form->editCurve(QStringLiteral("Black"), QString(), data, source);
    QCOMPARE(focusWhenShown, m_form->InputBoxes[0]);
    QCOMPARE(focusAfterSwitch, m_form->InputBoxes[0]);
}

void TestInkLoaderForm::preview_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QList<QPointF>>("line");
    QTest::addColumn<QString>("error");

    QTest::newRow("points in order") << Rows{{"0", "0"}, {"", ""}, {"50", "40"}, {"100", "100"}}
                                     << QList<QPointF>{{0, 0}, {50, 40}, {100, 100}} << "";
    QTest::newRow("inputs out of order")
        << Rows{{"80", "90"}, {"20", "10"}} << QList<QPointF>{{20, 10}, {80, 90}} << "";
    QTest::newRow("output missing") << Rows{{"0", "0"}, {"40", ""}} << QList<QPointF>{}
                                    << "'' is not a valid floating point value";
    QTest::newRow("output not a number")
        << Rows{{"40", "4x"}} << QList<QPointF>{} << "'4x' is not a valid floating point value";
}

void TestInkLoaderForm::preview()
{
    QFETCH(Rows, rows);
    QFETCH(QList<QPointF>, line);
    QFETCH(QString, error);

    m_preview->PlotPoints({{1, 2}, {3, 4}}); // an earlier preview
    fillRows(rows);
    bool shown = false;
    QList<QPointF> plotted;
    QTimer::singleShot(0, m_preview.get(), [&] {
        shown = m_preview->isVisible();
        plotted = m_preview->PointPlot->points();
        m_preview->OKBtn->click();
    });
    m_form->PreviewCurve->click();

    if (error.isEmpty()) {
        QVERIFY(shown);
        QCOMPARE(plotted, line);
        QVERIFY(m_dialogs->shown().isEmpty());
        return;
    }
    QVERIFY(!m_preview->isVisible());
    QCOMPARE(m_dialogs->shown().size(), 1);
    QCOMPARE(m_dialogs->shown().first().kind, RecordingDialogs::Kind::ApplicationError);
    QCOMPARE(m_dialogs->shown().first().text, error);
    QCoreApplication::processEvents(); // the timer of a preview that was never shown
}

void TestInkLoaderForm::browse_data()
{
    QTest::addColumn<QString>("chosen");      // relative to the temporary folder, empty: cancel
    QTest::addColumn<QString>("description"); // folder of the description, "-" for unnamed
    QTest::addColumn<QString>("name");        // LoadCurveName afterwards; "@" for the full path
    QTest::addColumn<QString>("folder");      // the ink-curves folder afterwards

    QTest::newRow("in the description's folder") << "desc/Warm.acv"
                                                 << "desc"
                                                 << "Warm.acv"
                                                 << "desc/";
    QTest::newRow("description folder given with a slash") << "desc/Warm.acv"
                                                           << "desc/"
                                                           << "Warm.acv"
                                                           << "desc/";
    QTest::newRow("elsewhere") << "curves/Warm.acv"
                               << "desc"
                               << "@"
                               << "curves/";
    QTest::newRow("in a subfolder of it") << "desc/sub/Warm.raw"
                                          << "desc"
                                          << "@"
                                          << "desc/sub/";
    QTest::newRow("unnamed description") << "desc/Warm.acv"
                                         << "-"
                                         << "@"
                                         << "desc/";
    QTest::newRow("cancelled") << ""
                               << "desc"
                               << "Before.acv"
                               << "start/";
}

void TestInkLoaderForm::browse()
{
    QFETCH(QString, chosen);
    QFETCH(QString, description);
    QFETCH(QString, name);
    QFETCH(QString, folder);

    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    for (const char *sub : {"desc/sub", "curves", "start"})
        QDir(root).mkpath(QLatin1String(sub));
    m_settings.inkCurvesFolder = root + QStringLiteral("start/");
    const QString chosenPath = chosen.isEmpty() ? QString() : root + chosen;
    m_dialogs->setNextFile(chosenPath);

    QString data = QStringLiteral("Before.acv");
    CurveSource source = CurveSource::FileName;
    whenShown(*m_form, [&] {
        m_form->Browse->click();
        m_form->OKBtn->click();
    });
    const QString descriptionFolder = description == u"-" ? QString() : root + description;
    QVERIFY(m_form->editCurve(QStringLiteral("Black"), descriptionFolder, data, source));

    QCOMPARE(data, name == u"@" ? chosenPath : name);
    QCOMPARE(source, CurveSource::FileName);
    QCOMPARE(m_settings.inkCurvesFolder, root + folder);
    QCOMPARE(m_dialogs->shown().size(), 1);
    const RecordingDialogs::Shown &dialog = m_dialogs->shown().first();
    QCOMPARE(dialog.kind, RecordingDialogs::Kind::OpenFile);
    QCOMPARE(dialog.title, QStringLiteral("Select Toner Curve"));
    QCOMPARE(dialog.text, root + QStringLiteral("start/"));
    QCOMPARE(dialog.buttons.size(), 2);
    QVERIFY(dialog.buttons.first().startsWith(QStringLiteral("Adjustment Curve (*.acv *.raw)")));
    QCOMPARE(dialog.buttons.last(), QStringLiteral("acv"));
}

QTEST_MAIN(TestInkLoaderForm)
#include "tst_inkloaderform.moc"
