// How requests reach the main window's queue: files dropped on any of its controls, and
// the window's own requests when other programs cannot reach it.
#include "FormFixture.h"
#include "InstancePaths.h"
#include "MailChannel.h"
#include "MailMessage.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QLocalServer>
#include <QMimeData>
#include <QUrl>

using namespace fixture;

namespace {

const QString kSocketMessageStart = QStringLiteral("Diridu could not set up its request socket");

QList<QByteArray> drain(MailChannel &channel)
{
    QList<QByteArray> messages;
    while (channel.hasMessage())
        messages.append(channel.read());
    return messages;
}

// The widget a drag over the named control meets: the text field inside a combo or spin
// box, since that is where Qt delivers it.
QWidget *dragTarget(TDiriduForm &form, const QString &control)
{
    if (control == QLatin1String("window"))
        return &form;
    QWidget *widget = form.findChild<QWidget *>(control);
    if (auto *box = qobject_cast<QComboBox *>(widget))
        return box->lineEdit() ? static_cast<QWidget *>(box->lineEdit()) : box;
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
        return spin->findChild<QLineEdit *>();
    return widget;
}

QString textOf(const QWidget *widget)
{
    const auto *edit = qobject_cast<const QLineEdit *>(widget);
    return edit ? edit->text() : QString();
}

// A drag from the desktop over target and a drop there, as Qt delivers them; whether the
// drop was taken as a link.
bool dragAndDrop(QWidget *target, const QMimeData &data)
{
    const QPoint at(target->width() / 2, target->height() / 2);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted() || enter.dropAction() != Qt::LinkAction)
        return false;
    QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted() || move.dropAction() != Qt::LinkAction)
        return false;
    QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::LinkAction;
}

} // namespace

class TestWindowRequests : public QObject
{
    Q_OBJECT

private slots:
    void fileDropsOnAnyControlAreQueued_data();
    void fileDropsOnAnyControlAreQueued();
    void otherDragsStayWithTheControl();
    void requestsWorkWithoutTheSocket();
};

void TestWindowRequests::fileDropsOnAnyControlAreQueued_data()
{
    QTest::addColumn<QString>("control");
    for (const char *control :
         {"TopMargin", "LeftMargin", "CustomWidth", "CustomLength", "CurveBlendValue",
          "GammaBlendValue", "LimitBlendValue", "PaperFeed", "MediaType", "Resolution",
          "DitherType", "RipSpeed", "RipBlack", "CopyCount", "CustomScale", "PrintingModelName",
          "ImageScreen", "DropTarget", "window"})
        QTest::newRow(control) << QString::fromLatin1(control);
}

void TestWindowRequests::fileDropsOnAnyControlAreQueued()
{
    QFETCH(QString, control);
    Installation installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    QWidget *target = dragTarget(form, control);
    QVERIFY(target);
    QVERIFY(target->window() == &form);
    const QString typedBefore = textOf(target);

    // As a file manager offers them: the files, and their names as text too.
    const QString first = installation.root() + QStringLiteral("photo one.tif");
    const QString second = installation.root() + QStringLiteral("album");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(first), QUrl(QStringLiteral("https://example.org/x.tif")),
                  QUrl::fromLocalFile(second)});
    data.setText(first);

    QVERIFY(dragAndDrop(target, data));
    QCOMPARE(textOf(target), typedBefore);
    QCOMPARE(drain(*form.mailChannel()),
             QList<QByteArray>({makeMailMessage(MailCode::Open, first),
                                makeMailMessage(MailCode::Open, second)}));
}

void TestWindowRequests::otherDragsStayWithTheControl()
{
    Installation installation;
    Started started(installation);
    TDiriduForm &form = *started.form;
    QMimeData text;
    text.setText(QStringLiteral("12"));
    QMimeData link;
    link.setUrls({QUrl(QStringLiteral("https://example.org/photo.tif"))});
    for (const QMimeData *data : {&text, &link}) {
        QVERIFY(!dragAndDrop(form.ui.TopMargin, *data));
        QVERIFY(!form.mailChannel()->hasMessage());
    }
}

// Another process answers on the socket, so the window cannot listen there; everything
// it asks of itself still gets done, and the user hears about it once.
void TestWindowRequests::requestsWorkWithoutTheSocket()
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const SingleInstanceGuard guard;
    QVERIFY(guard.holdsLock());
    QLocalServer squatter;
    QVERIFY(squatter.listen(mailServerPath()));

    Installation installation;
    const QString named = installation.root() + QStringLiteral("named.txt");
    Started started(installation, {{"Office"}, "Office"}, {QFile::encodeName(named)});
    TDiriduForm &form = *started.form;
    QVERIFY(!form.mailChannel()->isListening());
    const QString notTiff =
        QStringLiteral("Dropped images must be in TIFF format. \"%1\" is not a TIFF file");
    // The file named on the command line is read like any other request.
    QTRY_COMPARE(started.dialogs.shown().size(), 2);
    const RecordingDialogs::Shown told = started.dialogs.shown().at(0);
    QCOMPARE(told.kind, RecordingDialogs::Kind::Error);
    QVERIFY2(told.text.startsWith(kSocketMessageStart), qPrintable(told.text));
    QVERIFY(told.text.contains(form.mailChannel()->errorString()));
    QCOMPARE(told.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(started.dialogs.shown().at(1).text, notTiff.arg(named));

    form.ImagePath = installation.root() + QStringLiteral("photo.tif");
    form.PrintFileClick();
    QCOMPARE(drain(*form.mailChannel()),
             QList<QByteArray>{makeMailMessage(MailCode::Print, form.ImagePath)});

    const QString dropped = installation.root() + QStringLiteral("dropped.txt");
    form.DropFileTargetDrop({dropped});
    QTRY_COMPARE(started.dialogs.shown().size(), 3);
    QCOMPARE(started.dialogs.shown().at(2).text, notTiff.arg(dropped));
    QCOMPARE(started.dialogs.texts().filter(kSocketMessageStart).size(), 1);
}

QTEST_MAIN(TestWindowRequests)
#include "tst_windowrequests.moc"
