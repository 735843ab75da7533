#include "TLoadPresetsForm.h"

#include "Beeper.h"
#include "PresetNameList.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

TLoadPresetsForm::TLoadPresetsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TLoadPresetsForm"));
    setWindowTitle(QStringLiteral("Load Presets"));
    setProperty("helpContext", 6000);

    SelectLbl = new QLabel(QStringLiteral("Select a Preset"), this);
    SelectLbl->setObjectName(QStringLiteral("SelectLbl"));
    PresetList = newPresetList(this, 170);
    SelectLbl->setBuddy(PresetList);

    OKbtn = new QPushButton(QStringLiteral("Load"), this);
    OKbtn->setObjectName(QStringLiteral("OKbtn"));
    OKbtn->setEnabled(false);
    OKbtn->setFixedWidth(84);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setFixedWidth(84);

    auto *fields = new QVBoxLayout;
    fields->setSpacing(4);
    fields->addWidget(SelectLbl);
    fields->addWidget(PresetList);

    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addSpacing(SelectLbl->sizeHint().height() + fields->spacing());
    buttons->addWidget(OKbtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();

    layOutPresetDialog(this, fields, buttons);

    PresetList->installEventFilter(this);
    connectPresetList(PresetList, this, &TLoadPresetsForm::PresetListClick, &TLoadPresetsForm::PresetListDblClick);
    connect(OKbtn, &QPushButton::clicked, this, &TLoadPresetsForm::OKbtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TLoadPresetsForm::CancelBtnClick);
}

void TLoadPresetsForm::setPresetNames(const QStringList &names)
{
    setListNames(PresetList, names);
}

QStringList TLoadPresetsForm::presetNames() const
{
    return listNames(PresetList);
}

void TLoadPresetsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TLoadPresetsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PresetList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKbtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TLoadPresetsForm::FormShow()
{
    m_cancelled = false;
    OKbtn->setEnabled(false);
    CancelBtn->setFocus();
}

void TLoadPresetsForm::PresetListClick()
{
    OKbtn->setEnabled(true);
}

void TLoadPresetsForm::PresetListDblClick()
{
    OKbtnClick();
}

void TLoadPresetsForm::OKbtnClick()
{
    const QList<QListWidgetItem *> selected = PresetList->selectedItems();
    if (selected.isEmpty()) {
        Beeper::instance().beep();
        return;
    }
    m_presetName = selected.first()->text();
    accept();
}

void TLoadPresetsForm::CancelBtnClick()
{
    reject();
}

void TLoadPresetsForm::reject()
{
    m_cancelled = true;
    QDialog::reject();
}
