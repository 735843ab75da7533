#include "TInkDescription.h"

#include "CurveCreationSettings.h"
#include "NumberField.h"
#include "NumericBoxKeys.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The slot boxes in slot order: box, use list prefix, the suffix of the density and limit
// boxes, and the ink a slot holds when the window is created.
struct SlotNames
{
    const char *box;
    const char *prefix;
    const char *suffix;
    const char *ink;
};

constexpr std::array<SlotNames, MaxInkSlots> kSlotNames{{
    {"BlackBox", "Black", "K", "K"},
    {"CyanBox", "Cyan", "C", "C"},
    {"MagentaBox", "Magenta", "M", "M"},
    {"YellowBox", "Yellow", "Y", "Y"},
    {"LtBlackBox", "LtBlack", "LK", "LK"},
    {"LtCyanBox", "LtCyan", "LC", "LC"},
    {"LtMagentaBox", "LtMagenta", "LM", "LM"},
    {"GlossBox", "Gloss", "G", "GL"},
}};

template <typename T> T *named(T *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

QLineEdit *numericBox(const QString &name)
{
    auto *box = named(new QLineEdit, name);
    box->setMaximumWidth(70);
    return box;
}

// A group box holding one control, as the single fields of the window are shown.
QGroupBox *groupOf(const QString &title, QWidget *field)
{
    auto *group = new QGroupBox(title);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(field);
    layout->addStretch();
    return group;
}

} // namespace

TInkDescription::TInkDescription(QWidget *parent) : QWidget(parent, Qt::Window)
{
    FormCreate();
}

void TInkDescription::FormCreate()
{
    setObjectName(QStringLiteral("TInkDescription"));
    setWindowTitle(QStringLiteral("Curve Creator"));
    setProperty("helpContext", 9000);
    for (size_t i = 0; i < InkSlotOf.size(); ++i)
        InkSlotOf[i] = -1;

    m_keys = new NumericBoxKeys({[this](QLineEdit *box) { checkBox(box); },
                                 [this] { return linearizationShowing(); },
                                 [this] { CopyBtnClick(); }, [this] { PasteBtnClick(); },
                                 [this] {
                                     CopyBtnClick();
                                     ClearBtnClick();
                                 }},
                                this);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(createMenus());
    layout->addWidget(createModelRow());
    InkDescriptionPages = named(new QTabWidget, QStringLiteral("InkDescriptionPages"));
    InkDescriptionPages->addTab(createInkPage(), QStringLiteral("Ink Setup"));
    GrayBrowseBtn =
        named(new QPushButton(QStringLiteral("Browse")), QStringLiteral("GrayBrowseBtn"));
    GrayParts = createShapePage(QStringLiteral("Gray"), true, GrayHighlightValue, GrayShadowValue,
                                GrayOverlapValue, GrayGammaValue, GrayCurve, GrayBrowseBtn);
    TonerBrowseButton =
        named(new QPushButton(QStringLiteral("Browse")), QStringLiteral("TonerBrowseButton"));
    QLineEdit *noOverlap = nullptr;
    TonerParts =
        createShapePage(QStringLiteral("Toner"), false, TonerHighlightValue, TonerShadowValue,
                        noOverlap, TonerGammaValue, TonerCurve, TonerBrowseButton);
    Toner_2BrowseButton =
        named(new QPushButton(QStringLiteral("Browse")), QStringLiteral("Toner_2BrowseButton"));
    Toner_2Parts =
        createShapePage(QStringLiteral("Toner_2"), false, Toner_2HighlightValue, Toner_2ShadowValue,
                        noOverlap, Toner_2GammaValue, Toner_2Curve, Toner_2BrowseButton);
    GrayParts->setObjectName(QStringLiteral("GrayParts"));
    TonerParts->setObjectName(QStringLiteral("TonerParts"));
    Toner_2Parts->setObjectName(QStringLiteral("Toner_2Parts"));
    InkDescriptionPages->addTab(GrayParts, QStringLiteral("Gray Curve"));
    InkDescriptionPages->addTab(TonerParts, QStringLiteral("Toner Curve"));
    InkDescriptionPages->addTab(Toner_2Parts, QStringLiteral("Toner Curve 2"));
    InkDescriptionPages->addTab(createLinearizePage(), QStringLiteral("Linearization"));
    InkDescriptionPages->addTab(createNotesPage(), QStringLiteral("Notes"));
    layout->addWidget(InkDescriptionPages);

    for (InkBox &box : InkBoxes)
        box.use->addItems(inkUseNames());
    connectHandlers();
}

QMenuBar *TInkDescription::createMenus()
{
    auto *bar = new QMenuBar(this);
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    NewDescription =
        named(file->addAction(QStringLiteral("&New")), QStringLiteral("NewDescription"));
    OpenDescription =
        named(file->addAction(QStringLiteral("&Open")), QStringLiteral("OpenDescription"));
    SaveDescription =
        named(file->addAction(QStringLiteral("&Save")), QStringLiteral("SaveDescription"));
    SaveDescription->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    SaveDescriptionAs =
        named(file->addAction(QStringLiteral("Save &As")), QStringLiteral("SaveDescriptionAs"));
    file->addSeparator();
    ExitMenu = named(file->addAction(QStringLiteral("&Exit")), QStringLiteral("ExitMenu"));
    Help = named(bar->addAction(QStringLiteral("&Help")), QStringLiteral("Help"));
    // The shortcut works wherever the focus is in the window, the menu bar being part of it.
    addAction(SaveDescription);
    return bar;
}

QWidget *TInkDescription::createModelRow()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    PrintingModelName = named(new QComboBox, QStringLiteral("PrintingModelName"));
    PrintingModelName->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    PrintingModelName->setMinimumContentsLength(24);
    auto *model = groupOf(QStringLiteral("Printing Model"), PrintingModelName);
    layout->addWidget(model, 1);
    CreateCurveBtn =
        named(new QPushButton(QStringLiteral("Create Curve")), QStringLiteral("CreateCurveBtn"));
    layout->addWidget(CreateCurveBtn, 0, Qt::AlignBottom);
    return row;
}

QWidget *TInkDescription::createInkPage()
{
    Ink = named(new QWidget, QStringLiteral("Ink"));
    auto *layout = new QGridLayout(Ink);
    DefaultInkLimit = numericBox(QStringLiteral("DefaultInkLimit"));
    Boost_K = numericBox(QStringLiteral("Boost_K"));
    auto *topRow = new QHBoxLayout;
    topRow->addWidget(groupOf(QStringLiteral("Default Ink Limit"), DefaultInkLimit));
    topRow->addWidget(groupOf(QStringLiteral("Black Boost"), Boost_K));
    topRow->addStretch();
    layout->addLayout(topRow, 0, 0, 1, 4);
    for (int slot = 0; slot < MaxInkSlots; ++slot) {
        const SlotNames &names = kSlotNames[size_t(slot)];
        QGroupBox *box = createSlotBox(slot, names.box, names.prefix, names.suffix);
        layout->addWidget(box, 1 + slot / 4, slot % 4);
        takeSlotChildren(slot, box);
        InkBoxes[size_t(slot)].Ink = QLatin1String(names.ink);
        InkBoxes[size_t(slot)].Used = slot < 4;
    }
    const QStringList initial{QStringLiteral("K"),  QStringLiteral("C"),  QStringLiteral("M"),
                              QStringLiteral("Y"),  QStringLiteral("LK"), QStringLiteral("LC"),
                              QStringLiteral("LM"), QStringLiteral("GL")};
    for (int slot = 0; slot < MaxInkSlots; ++slot) {
        for (size_t i = 0; i < KnownInks().size(); ++i) {
            if (KnownInks()[i].ink == initial[slot])
                InkSlotOf[i] = slot;
        }
        InkBoxes[size_t(slot)].nameLabel->setText(inkDisplayName(initial[slot]));
    }
    layout->setRowStretch(3, 1);
    return Ink;
}

// The children are made in their fixed order as children of the box: the editor reaches
// them by position.
QGroupBox *TInkDescription::createSlotBox(int slot, const char *boxName, const char *prefix,
                                          const char *suffix)
{
    const QString pre = QLatin1String(prefix);
    const QString suf = QLatin1String(suffix);
    auto *box = named(new QGroupBox, QLatin1String(boxName));
    auto *densityLabel = new QLabel(QStringLiteral("Density"), box);
    auto *limitLabel = new QLabel(QStringLiteral("Limit"), box);
    auto *nameLabel = new QLabel(box);
    auto *slotLabel = new QLabel(QString::number(slot), box);
    slotLabel->hide();
    auto *use = named(new QComboBox(box), pre + QStringLiteral("InkUse"));
    auto *density = named(new QLineEdit(box), QStringLiteral("Value_") + suf);
    auto *limit = named(new QLineEdit(box), QStringLiteral("Limit_") + suf);
    auto *copySource = named(new QComboBox(box), pre + QStringLiteral("InkCopySource"));
    copySource->hide();
    auto *curve = named(new QPushButton(QStringLiteral("Curve"), box),
                        pre + QStringLiteral("CurveSelectBtn"));
    curve->hide();
    nameLabel->setStyleSheet(QStringLiteral("font-weight: bold"));
    // Room for the longest use, "Copy curve from", however narrow the window gets.
    use->setMinimumContentsLength(12);
    use->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    density->setFixedWidth(60);
    limit->setFixedWidth(60);

    auto *grid = new QGridLayout(box);
    grid->addWidget(nameLabel, 0, 0, 1, 3);
    grid->addWidget(use, 1, 0);
    grid->addWidget(densityLabel, 1, 1);
    grid->addWidget(limitLabel, 1, 2);
    grid->addWidget(curve, 2, 0, Qt::AlignLeft);
    // The copy-source list takes the density box's place while it is shown.
    grid->addWidget(density, 2, 1);
    grid->addWidget(copySource, 2, 1);
    grid->addWidget(limit, 2, 2);
    // Spare width goes to the right of the boxes, not into the use list.
    grid->setColumnStretch(3, 1);
    return box;
}

void TInkDescription::takeSlotChildren(int slot, QGroupBox *box)
{
    const QList<QWidget *> children = box->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(children.size() == 9, "TInkDescription", "a slot box has nine children");
    InkBox &ink = InkBoxes[size_t(slot)];
    ink.Box = box;
    ink.densityLabel = qobject_cast<QLabel *>(children[0]);
    ink.limitLabel = qobject_cast<QLabel *>(children[1]);
    ink.nameLabel = qobject_cast<QLabel *>(children[2]);
    ink.slotLabel = qobject_cast<QLabel *>(children[3]);
    ink.use = qobject_cast<QComboBox *>(children[4]);
    ink.density = qobject_cast<QLineEdit *>(children[5]);
    ink.limit = qobject_cast<QLineEdit *>(children[6]);
    ink.copySource = qobject_cast<QComboBox *>(children[7]);
    ink.curveButton = qobject_cast<QPushButton *>(children[8]);
    Q_ASSERT_X(ink.densityLabel && ink.limitLabel && ink.nameLabel && ink.slotLabel && ink.use &&
                   ink.density && ink.limit && ink.copySource && ink.curveButton,
               "TInkDescription", "a slot box's children are of the kinds in their order");
    Q_ASSERT_X(ink.slotLabel->text() == QString::number(slot), "TInkDescription",
               "a slot box's hidden label holds its slot number");
}

QWidget *TInkDescription::createShapePage(const QString &prefix, bool withOverlap,
                                          QLineEdit *&highlight, QLineEdit *&shadow,
                                          QLineEdit *&overlap, QLineEdit *&gamma, QLineEdit *&curve,
                                          QPushButton *browse)
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    highlight = numericBox(prefix + QStringLiteral("HighlightValue"));
    shadow = numericBox(prefix + QStringLiteral("ShadowValue"));
    form->addRow(QStringLiteral("Highlight"), highlight);
    form->addRow(QStringLiteral("Shadow"), shadow);
    if (withOverlap) {
        overlap = numericBox(prefix + QStringLiteral("OverlapValue"));
        form->addRow(QStringLiteral("Overlap"), overlap);
    }
    gamma = numericBox(prefix + QStringLiteral("GammaValue"));
    form->addRow(QStringLiteral("Gamma"), gamma);
    curve = named(new QLineEdit, prefix + QStringLiteral("Curve"));
    curve->setMinimumWidth(320);
    auto *curveRow = new QHBoxLayout;
    curveRow->addWidget(curve, 1);
    curveRow->addWidget(browse);
    form->addRow(QStringLiteral("Curve"), curveRow);
    outer->addLayout(form);
    outer->addStretch();
    return page;
}

QWidget *TInkDescription::createLinearizePage()
{
    Linearize = named(new QWidget, QStringLiteral("Linearize"));
    auto *outer = new QVBoxLayout(Linearize);
    LinearizeBox = named(new QGroupBox(QStringLiteral("Linearization Values")),
                         QStringLiteral("LinearizeBox"));
    auto *grid = new QGridLayout(LinearizeBox);
    constexpr int columns = 11;
    for (int i = 0; i < LinearizationValueCount; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        if (column == 0)
            grid->addWidget(new QLabel(QString::number(i + 1), LinearizeBox), row, 0,
                            Qt::AlignRight);
        auto *box = named(new QLineEdit(LinearizeBox), QStringLiteral("L%1").arg(i + 1));
        box->setMaximumWidth(56);
        box->setToolTip(QStringLiteral("Step %1").arg(i + 1));
        grid->addWidget(box, row, column + 1);
        LinearizeValues[size_t(i)] = box;
    }
    grid->setColumnStretch(columns + 1, 1);
    outer->addWidget(LinearizeBox);
    auto *buttons = new QHBoxLayout;
    CopyBtn = named(new QPushButton(QStringLiteral("Copy Values")), QStringLiteral("CopyBtn"));
    PasteBtn = named(new QPushButton(QStringLiteral("Paste Values")), QStringLiteral("PasteBtn"));
    PasteBtn->setEnabled(false);
    ClearBtn = named(new QPushButton(QStringLiteral("Clear")), QStringLiteral("ClearBtn"));
    buttons->addWidget(CopyBtn);
    buttons->addWidget(PasteBtn);
    buttons->addWidget(ClearBtn);
    buttons->addStretch();
    outer->addLayout(buttons);
    outer->addStretch();
    return Linearize;
}

QWidget *TInkDescription::createNotesPage()
{
    Notes = named(new QWidget, QStringLiteral("Notes"));
    auto *layout = new QVBoxLayout(Notes);
    NotesText = named(new QPlainTextEdit, QStringLiteral("NotesText"));
    NotesText->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(NotesText);
    return Notes;
}

void TInkDescription::watchNumericBox(QLineEdit *box, const NumberRange &range)
{
    m_ranges.insert(box, &range);
    m_keys->watch(box);
}

void TInkDescription::connectHandlers()
{
    connect(NewDescription, &QAction::triggered, this, &TInkDescription::NewDescriptionClick);
    connect(OpenDescription, &QAction::triggered, this, &TInkDescription::OpenDescriptionClick);
    connect(SaveDescription, &QAction::triggered, this, &TInkDescription::SaveDescriptionClick);
    connect(SaveDescriptionAs, &QAction::triggered, this, &TInkDescription::SaveDescriptionAsClick);
    connect(ExitMenu, &QAction::triggered, this, &TInkDescription::ExitMenuClick);
    connect(Help, &QAction::triggered, this, &TInkDescription::HelpClick);
    connect(PrintingModelName, &QComboBox::activated, this,
            &TInkDescription::PrintingModelNameChange);
    connect(CreateCurveBtn, &QPushButton::clicked, this, &TInkDescription::CreateCurveBtnClick);
    connect(CopyBtn, &QPushButton::clicked, this, &TInkDescription::CopyBtnClick);
    connect(PasteBtn, &QPushButton::clicked, this, &TInkDescription::PasteBtnClick);
    connect(ClearBtn, &QPushButton::clicked, this, &TInkDescription::ClearBtnClick);
    connect(GrayBrowseBtn, &QPushButton::clicked, this, [this] { BrowseCurveClick(GrayCurve); });
    connect(TonerBrowseButton, &QPushButton::clicked, this,
            [this] { BrowseCurveClick(TonerCurve); });
    connect(Toner_2BrowseButton, &QPushButton::clicked, this,
            [this] { BrowseCurveClick(Toner_2Curve); });
    for (QLineEdit *curve : {GrayCurve, TonerCurve, Toner_2Curve})
        connect(curve, &QLineEdit::textEdited, this, [this] { ModifiedState = Edited; });
    // Notes are part of the description: editing them is an edit that must not be lost.
    connect(NotesText->document(), &QTextDocument::modificationChanged, this,
            [this](bool modified) {
                if (modified)
                    ModifiedState = Edited;
            });
    connect(InkDescriptionPages, &QTabWidget::currentChanged, this, [this] {
        if (InkDescriptionPages->currentWidget() == Linearize)
            LinearizeValues[0]->setFocus();
    });

    watchNumericBox(DefaultInkLimit, NumberRanges::percent());
    watchNumericBox(Boost_K, NumberRanges::percent());
    for (QLineEdit *box :
         {GrayHighlightValue, GrayShadowValue, GrayOverlapValue, TonerHighlightValue,
          TonerShadowValue, Toner_2HighlightValue, Toner_2ShadowValue})
        watchNumericBox(box, NumberRanges::shape());
    for (QLineEdit *box : {GrayGammaValue, TonerGammaValue, Toner_2GammaValue})
        watchNumericBox(box, NumberRanges::gamma());
    for (QLineEdit *box : LinearizeValues)
        watchNumericBox(box, NumberRanges::percent());
    for (int slot = 0; slot < MaxInkSlots; ++slot) {
        InkBox &box = InkBoxes[size_t(slot)];
        watchNumericBox(box.density, NumberRanges::density());
        watchNumericBox(box.limit, NumberRanges::percent());
        connect(box.use, &QComboBox::activated, this, [this, slot] { InkUseChange(slot); });
        connect(box.copySource, &QComboBox::activated, this,
                [this, slot] { CopySourceChange(slot); });
        box.copySource->installEventFilter(this);
        connect(box.curveButton, &QPushButton::clicked, this,
                [this, slot] { CurveSelectBtnClick(slot); });
    }
}
