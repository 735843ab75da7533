#include "Dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs act on the message box as soon as it is up (the service's boxes are modal, so the
// call that shows one only returns once act has answered it).
void whenBoxIsShown(const std::function<void(QMessageBox *)> &act)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        act(box);
    });
    poll->start(10);
}

QPushButton *buttonNamed(QMessageBox *box, const QString &caption)
{
    for (QAbstractButton *button : box->buttons()) {
        if (button->text() == caption)
            return qobject_cast<QPushButton *>(button);
    }
    return nullptr;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void textsArePlain_data();
    void textsArePlain();
    void questionAnswers_data();
    void questionAnswers();
    void openFileName_data();
    void openFileName();
};

void TestDialogs::textsArePlain_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("error") << 0;
    QTest::newRow("question") << 1;
    QTest::newRow("application error") << 2;
}

void TestDialogs::textsArePlain()
{
    QFETCH(int, kind);
    const QString text =
        QStringLiteral("File \"/photos/<b>bold</b> & <i>x</i>.tif\" no longer exists");
    WidgetDialogs dialogs;
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    whenBoxIsShown([&](QMessageBox *box) {
        format = box->textFormat();
        if (const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            shown = label->text();
        box->buttons().constFirst()->click();
    });
    if (kind == 0)
        dialogs.error(text, Dialogs::Button::Ok);
    else if (kind == 1)
        dialogs.question(QStringLiteral("Title"), text, {QStringLiteral("OK")});
    else
        dialogs.applicationError(text);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, text);
}

void TestDialogs::questionAnswers_data()
{
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("action"); // a button's caption, "Escape" or "close"
    QTest::addColumn<int>("answer");

    const QStringList okCancel{"OK", "Cancel"};
    QTest::newRow("OK pressed") << okCancel << "OK" << 0;
    QTest::newRow("Cancel pressed") << okCancel << "Cancel" << 1;
    QTest::newRow("Escape is Cancel") << okCancel << "Escape" << 1;
    QTest::newRow("closing is Cancel") << okCancel << "close" << 1;
    QTest::newRow("Cancel first") << QStringList{"Cancel", "Retry"} << "Escape" << 0;
}

void TestDialogs::questionAnswers()
{
    QFETCH(QStringList, buttons);
    QFETCH(QString, action);
    WidgetDialogs dialogs;
    bool stillOpen = false;
    whenBoxIsShown([&](QMessageBox *box) {
        if (action == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            box->close();
        else
            buttonNamed(box, action)->click();
        // A box that ignored the key or the close would stay up: answer it so the test ends.
        stillOpen = box->isVisible();
        if (stillOpen)
            box->buttons().constFirst()->click();
    });
    const int answer = dialogs.question(QStringLiteral("Diridu"),
                                        QStringLiteral("Image has 1 warnimg(s)."), buttons);
    QVERIFY(!stillOpen);
    QTEST(answer, "answer");
}

void TestDialogs::openFileName_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("typed"); // empty: the dialog is cancelled
    QTest::addColumn<QString>("chosen");

    QTest::newRow("typed without extension") << "acv"
                                             << "Warm"
                                             << "Warm.acv";
    QTest::newRow("typed with extension") << "acv"
                                          << "Cool.raw"
                                          << "Cool.raw";
    QTest::newRow("no default suffix") << ""
                                       << "Warm.acv"
                                       << "Warm.acv";
    QTest::newRow("cancelled") << "acv"
                               << ""
                               << "";
}

void TestDialogs::openFileName()
{
    QFETCH(QString, suffix);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);

    QTemporaryDir dir;
    for (const char *name : {"Warm.acv", "Cool.raw"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    WidgetDialogs dialogs;
    QString title;
    QString folder;
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        if (typed.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed into the name box, as a user does (Qt's own dialog on this platform).
        if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))) {
            name->setText(typed);
            static_cast<QDialog *>(dialog)->accept(); // as the Open button does
        }
        if (dialog->isVisible())
            dialog->reject(); // refused: end the test rather than hang
    });
    poll->start(10);
    const QString path =
        dialogs.openFileName(QStringLiteral("Select Toner Curve"), dir.path(),
                             QStringLiteral("Curves (*.acv *.raw);;All Files (*)"), suffix);
    QCOMPARE(title, QStringLiteral("Select Toner Curve"));
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QCOMPARE(path, chosen.isEmpty() ? QString() : dir.filePath(chosen));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
