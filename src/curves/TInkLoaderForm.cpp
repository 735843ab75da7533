#include "TInkLoaderForm.h"

#include "Beeper.h"
#include "CurveFileChoice.h"
#include "Dialogs.h"
#include "NumericBoxKeys.h"
#include "TCurvePreview.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kRowsPerColumn = 10;

// Row 1 is X1 and Y1; the boxes of the later rows count on from EditAlign1.
QString inputBoxName(int row)
{
    return row == 0 ? QStringLiteral("X1") : QStringLiteral("EditAlign%1").arg(2 * row - 1);
}

QString outputBoxName(int row)
{
    return row == 0 ? QStringLiteral("Y1") : QStringLiteral("EditAlign%1").arg(2 * row);
}

QPushButton *namedButton(const QString &name, const QString &text)
{
    auto *button = new QPushButton(text);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QChar localeDecimalPoint()
{
    return QLocale().decimalPoint().at(0);
}

} // namespace

TInkLoaderForm::TInkLoaderForm(QWidget *parent)
    : QDialog(parent),
      PasteBtn(namedButton(QStringLiteral("PasteBtn"), QStringLiteral("Paste Points"))),
      CopyBtn(namedButton(QStringLiteral("CopyBtn"), QStringLiteral("Copy Points"))),
      PreviewCurve(namedButton(QStringLiteral("PreviewCurve"), QStringLiteral("Preview Curve"))),
      ClearBtn(namedButton(QStringLiteral("ClearBtn"), QStringLiteral("Clear"))),
      Browse(namedButton(QStringLiteral("Browse"), QStringLiteral("Browse"))),
      OKBtn(namedButton(QStringLiteral("OKBtn"), QStringLiteral("OK"))),
      CancelBtn(namedButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel")))
{
    setObjectName(QStringLiteral("TInkLoaderForm"));
    setWindowTitle(QStringLiteral("Curve Detail"));
    PasteBtn->setEnabled(false);

    InkLoaderPages = new QTabWidget;
    InkLoaderPages->setObjectName(QStringLiteral("InkLoaderPages"));
    DataSet = createPointListPage();
    Curve = createFileNamePage();
    InkLoaderPages->addTab(DataSet, QStringLiteral("Point List"));
    InkLoaderPages->addTab(Curve, QStringLiteral("File Name"));

    OKBtn->setDefault(true);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(OKBtn, QDialogButtonBox::AcceptRole);
    buttons->addButton(CancelBtn, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(InkLoaderPages);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    watchBoxes();
    connect(PasteBtn, &QPushButton::clicked, this, &TInkLoaderForm::PasteBtnClick);
    connect(CopyBtn, &QPushButton::clicked, this, &TInkLoaderForm::CopyBtnClick);
    connect(ClearBtn, &QPushButton::clicked, this, &TInkLoaderForm::ClearBtnClick);
    connect(PreviewCurve, &QPushButton::clicked, this, &TInkLoaderForm::PreviewCurveClick);
    connect(Browse, &QPushButton::clicked, this, &TInkLoaderForm::BrowseClick);
    connect(OKBtn, &QPushButton::clicked, this, &TInkLoaderForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TInkLoaderForm::reject);
    connect(InkLoaderPages, &QTabWidget::currentChanged, this, [this] {
        if (pointListIsCurrent())
            DataSetShow();
    });
    connect(qApp, &QApplication::focusChanged, this, &TInkLoaderForm::rowFocusChanged);
}

QWidget *TInkLoaderForm::createPointListPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("DataSet"));

    DatasetBox = new QGroupBox(QStringLiteral("Curve Points"), page);
    DatasetBox->setObjectName(QStringLiteral("DatasetBox"));
    auto *grid = new QGridLayout(DatasetBox);
    grid->setHorizontalSpacing(4);
    const int columns = (kPointRowCount + kRowsPerColumn - 1) / kRowsPerColumn;
    for (int column = 0; column < columns; ++column) {
        // Each column of rows has its headings, and a gap before the next column.
        grid->addWidget(createColumnHeading(), 0, 2 * column + 1);
        if (column > 0)
            grid->setColumnMinimumWidth(2 * column, 28);
    }
    for (int row = 0; row < kPointRowCount; ++row) {
        auto *number = new QLabel(QString::number(row + 1));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int line = row % kRowsPerColumn + 1;
        const int column = row / kRowsPerColumn;
        grid->addWidget(number, line, 2 * column, Qt::AlignRight);
        grid->addWidget(createPointRow(row), line, 2 * column + 1);
    }

    auto *actions = new QVBoxLayout;
    for (QPushButton *button : {PasteBtn, CopyBtn, PreviewCurve, ClearBtn})
        actions->addWidget(button);
    actions->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->addWidget(DatasetBox);
    layout->addLayout(actions);
    return page;
}

int TInkLoaderForm::pointBoxWidth() const
{
    return fontMetrics().horizontalAdvance(QStringLiteral("000.000")) + 14;
}

QWidget *TInkLoaderForm::createColumnHeading()
{
    auto *heading = new QWidget;
    auto *layout = new QHBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (const QString &text : {QStringLiteral("Input"), QStringLiteral("Output")}) {
        auto *label = new QLabel(text);
        label->setFixedWidth(pointBoxWidth());
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    return heading;
}

QWidget *TInkLoaderForm::createPointRow(int row)
{
    // The input box is the row's first child and the output box its second.
    auto *point = new QWidget;
    point->setObjectName(QStringLiteral("Point%1").arg(row + 1));
    for (const QString &name : {inputBoxName(row), outputBoxName(row)}) {
        auto *box = new QLineEdit(point);
        box->setObjectName(name);
        box->setFixedWidth(pointBoxWidth());
        box->setAlignment(Qt::AlignRight);
    }
    const auto boxes = point->findChildren<QLineEdit *>(Qt::FindDirectChildrenOnly);
    InputBoxes.append(boxes.at(0));
    OutputBoxes.append(boxes.at(1));
    auto *layout = new QHBoxLayout(point);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(boxes.at(0));
    layout->addWidget(boxes.at(1));
    Points.append(point);
    return point;
}

QWidget *TInkLoaderForm::createFileNamePage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Curve"));
    auto *group = new QGroupBox(QStringLiteral("Curve Name"), page);
    group->setObjectName(QStringLiteral("CurveNameBox"));
    LoadCurveName = new QLineEdit;
    LoadCurveName->setObjectName(QStringLiteral("LoadCurveName"));
    auto *row = new QHBoxLayout(group);
    row->addWidget(LoadCurveName, 1);
    row->addWidget(Browse);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

void TInkLoaderForm::watchBoxes()
{
    NumericBoxKeys::Actions actions;
    actions.check = [this](QLineEdit *box) { Float0_100Exit(box); };
    actions.clipboardKeysActive = [this] { return pointListIsCurrent(); };
    actions.copy = [this] { CopyBtnClick(); };
    actions.paste = [this] { PasteBtnClick(); };
    actions.cut = [this] { cutPoints(); };
    auto *keys = new NumericBoxKeys(std::move(actions), this);
    for (int row = 0; row < kPointRowCount; ++row) {
        keys->watch(InputBoxes[row]);
        keys->watch(OutputBoxes[row]);
    }
}

// The boxes go after this destructor has run, and their focus moves must not reach the
// row check of a dialog that is half gone.
TInkLoaderForm::~TInkLoaderForm()
{
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TInkLoaderForm::setSettings(CurveCreationSettings *settings)
{
    m_settings = settings;
}

void TInkLoaderForm::setCurvePreview(TCurvePreview *preview)
{
    m_preview = preview;
}

bool TInkLoaderForm::editCurve(const QString &caption, const QString &descriptionFolder,
                               QString &curveData, CurveSource &curveSource)
{
    setWindowTitle(caption);
    m_descriptionFolder = descriptionFolder;
    showPage(curveSource);
    if (curveSource == CurveSource::PointList) {
        loadPoints(curveData);
        LoadCurveName->clear();
    } else {
        LoadCurveName->setText(curveData);
        ClearBtnClick();
    }
    if (exec() != QDialog::Accepted || Cancelled)
        return false;
    curveSource = currentSource();
    curveData =
        curveSource == CurveSource::FileName ? LoadCurveName->text() : pointListText(pointRows());
    return true;
}

void TInkLoaderForm::showPage(CurveSource source)
{
    InkLoaderPages->setCurrentWidget(source == CurveSource::FileName ? Curve : DataSet);
}

CurveSource TInkLoaderForm::currentSource() const
{
    return pointListIsCurrent() ? CurveSource::PointList : CurveSource::FileName;
}

bool TInkLoaderForm::pointListIsCurrent() const
{
    return InkLoaderPages->currentWidget() == DataSet;
}

QList<PointRow> TInkLoaderForm::pointRows() const
{
    QList<PointRow> rows;
    for (int row = 0; row < kPointRowCount; ++row)
        rows.append({InputBoxes[row]->text(), OutputBoxes[row]->text()});
    return rows;
}

void TInkLoaderForm::loadPoints(const QString &text)
{
    const QList<PointRow> rows = pointRowsFromText(text, localeDecimalPoint());
    for (int row = 0; row < kPointRowCount; ++row) {
        InputBoxes[row]->setText(rows[row].input);
        Float0_100Exit(InputBoxes[row]);
        OutputBoxes[row]->setText(rows[row].output);
        Float0_100Exit(OutputBoxes[row]);
        PointExit(row);
    }
}

void TInkLoaderForm::Float0_100Exit(QLineEdit *box)
{
    checkNumericBox(box, NumberRanges::percent());
}

bool TInkLoaderForm::PointExit(int row)
{
    QLineEdit *input = InputBoxes[row];
    QLineEdit *output = OutputBoxes[row];
    Float0_100Exit(input);
    Float0_100Exit(output);
    QLineEdit *missing = nullptr;
    if (input->text().isEmpty() && !output->text().isEmpty())
        missing = input;
    else if (output->text().isEmpty() && !input->text().isEmpty())
        missing = output;
    if (!missing)
        return true;
    ErrorBeep();
    // Two half-filled rows would otherwise send the focus back and forth for ever.
    m_rowCheckMovesFocus = true;
    missing->setFocus(Qt::OtherFocusReason);
    m_rowCheckMovesFocus = false;
    return false;
}

int TInkLoaderForm::rowOf(const QWidget *widget) const
{
    if (!widget)
        return -1;
    return Points.indexOf(widget->parentWidget());
}

void TInkLoaderForm::rowFocusChanged(QWidget *old, QWidget *now)
{
    const int row = rowOf(old);
    if (row < 0 || m_rowCheckMovesFocus)
        return;
    // Another window taking the focus (a message box, the preview) is not leaving the row,
    // and Cancel must be reachable from a half-filled row.
    if (!now || now->window() != this || now == CancelBtn || rowOf(now) == row)
        return;
    PointExit(row);
}

void TInkLoaderForm::DataSetShow()
{
    InputBoxes.first()->setFocus(Qt::OtherFocusReason);
}

void TInkLoaderForm::showEvent(QShowEvent *event)
{
    Cancelled = false;
    QDialog::showEvent(event);
    if (pointListIsCurrent())
        DataSetShow();
}

void TInkLoaderForm::OKBtnClick()
{
    // A half-filled row would shift every later number of the stored point list by one.
    if (pointListIsCurrent()) {
        for (int row = 0; row < kPointRowCount; ++row) {
            if (!PointExit(row))
                return;
        }
    }
    accept();
}

void TInkLoaderForm::reject()
{
    Cancelled = true;
    QDialog::reject();
}

void TInkLoaderForm::CopyBtnClick()
{
    QGuiApplication::clipboard()->setText(pointClipboardText(pointRows()));
}

void TInkLoaderForm::PasteBtnClick()
{
    // Ctrl+V with no text on the clipboard must not empty the rows.
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return;
    loadPoints(data->text());
}

void TInkLoaderForm::ClearBtnClick()
{
    for (int row = 0; row < kPointRowCount; ++row) {
        InputBoxes[row]->clear();
        OutputBoxes[row]->clear();
    }
}

void TInkLoaderForm::cutPoints()
{
    CopyBtnClick();
    ClearBtnClick();
}

void TInkLoaderForm::PreviewCurveClick()
{
    const auto points = pointsOfRows(pointRows());
    if (const auto *failure = std::get_if<NotAFloat>(&points)) {
        Dialogs::instance().applicationError(notAFloatMessage(*failure));
        return;
    }
    m_preview->PreviewPoints(std::get<QList<QPointF>>(points));
}

void TInkLoaderForm::BrowseClick()
{
    if (const std::optional<QString> reference = chooseCurveFile(*m_settings, m_descriptionFolder))
        LoadCurveName->setText(*reference);
}
