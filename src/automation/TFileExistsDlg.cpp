#include "TFileExistsDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace

TFileExistsDlg::TFileExistsDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFileExistsDlg"));
    setWindowTitle(QStringLiteral("File Exists"));
    setProperty("helpContext", 8000);
    setModal(true);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(16, 14, 16, 14);
    column->setSpacing(6);
    // The size follows the contents and the user cannot change it.
    column->setSizeConstraint(QLayout::SetFixedSize);

    FileLbl = named(new QLabel(QStringLiteral("The File:"), this), "FileLbl");
    column->addWidget(FileLbl);

    // Long paths wrap after their "/"; a name too long for a line is cut off, so the
    // whole path is also the label's tool tip.
    FileName = named(new QLabel(this), "FileName");
    FileName->setTextFormat(Qt::PlainText);
    FileName->setWordWrap(true);
    FileName->setFixedWidth(400);
    FileName->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FileName->setIndent(12);
    column->addWidget(FileName);

    ExistsLbl =
        named(new QLabel(QStringLiteral("Already exists in the \"Processed\" folder."), this),
              "ExistsLbl");
    column->addWidget(ExistsLbl);
    column->addSpacing(4);

    Disposal = named(new QGroupBox(this), "Disposal");
    DisposalGroup = named(new QButtonGroup(Disposal), "DisposalGroup");
    {
        auto *items = new QVBoxLayout(Disposal);
        items->setContentsMargins(10, 6, 10, 6);
        items->setSpacing(4);
        const QString captions[] = {QStringLiteral("Remove it "),
                                    QStringLiteral("Add sequence number ")};
        for (int id = 0; id < 2; ++id) {
            auto *item = new QRadioButton(captions[id], Disposal);
            item->setObjectName(QStringLiteral("DisposalItem%1").arg(id));
            DisposalGroup->addButton(item, id);
            items->addWidget(item);
        }
        DisposalGroup->button(RemoveIt)->setChecked(true);
    }
    column->addWidget(Disposal);

    RepeatAction = named(
        new QCheckBox(QStringLiteral(
                          "Use this action for all file exists in \"Processed\" folder situations"),
                      this),
        "RepeatAction");
    column->addWidget(RepeatAction);
    column->addSpacing(8);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(20);
    buttons->addStretch(1);
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    CancelBtn = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    for (QPushButton *button : {OKBtn, CancelBtn}) {
        button->setMinimumWidth(75);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);
    OKBtn->setDefault(true);

    connect(OKBtn, &QPushButton::clicked, this, &TFileExistsDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TFileExistsDlg::CancelBtnClick);
}

int TFileExistsDlg::disposalIndex() const
{
    return DisposalGroup->checkedId();
}

void TFileExistsDlg::setDisposalIndex(int index)
{
    const int last = int(DisposalGroup->buttons().size()) - 1;
    index = qBound(-1, index, last);
    if (index >= 0) {
        DisposalGroup->button(index)->setChecked(true);
        return;
    }
    // An exclusive group never lets go of its checked item by itself.
    DisposalGroup->setExclusive(false);
    for (QAbstractButton *item : DisposalGroup->buttons())
        item->setChecked(false);
    DisposalGroup->setExclusive(true);
}

void TFileExistsDlg::OKBtnClick()
{
    OK = true;
    accept();
}

void TFileExistsDlg::CancelBtnClick()
{
    OK = false;
    QDialog::reject();
}

// Escape and the close box end up here: both count as Cancel.
void TFileExistsDlg::reject()
{
    CancelBtnClick();
}

// A dialog left by the close box must not report the OK of an earlier showing.
void TFileExistsDlg::showEvent(QShowEvent *event)
{
    OK = false;
    FileName->setToolTip(FileName->text());
    QDialog::showEvent(event);
}
