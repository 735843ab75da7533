#include "TSavePresetsForm.h"

#include "Beeper.h"
#include "PresetNameList.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(QLatin1String(name));
    result->setFixedWidth(84);
    return result;
}

} // namespace

TSavePresetsForm::TSavePresetsForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSavePresetsForm"));
    setWindowTitle(QStringLiteral("Save Preset"));
    setProperty("helpContext", 6000);

    NameLbl = new QLabel(QStringLiteral("Name:"), this);
    NameLbl->setObjectName(QStringLiteral("NameLbl"));
    NewPreset = new QLineEdit(this);
    NewPreset->setObjectName(QStringLiteral("NewPreset"));
    NameLbl->setBuddy(NewPreset);
    PresetsLbl = new QLabel(QStringLiteral("Current Presets:"), this);
    PresetsLbl->setObjectName(QStringLiteral("PresetsLbl"));
    PresetList = newPresetList(this, 150);
    PresetsLbl->setBuddy(PresetList);
    NewPreset->setFixedWidth(PresetList->width());

    OKBtn = button(this, "OKBtn", QStringLiteral("Save"));
    CancelBtn = button(this, "CancelBtn", QStringLiteral("Cancel"));
    Delete = button(this, "Delete", QStringLiteral("Delete"));

    auto *fields = new QVBoxLayout;
    fields->setSpacing(4);
    fields->addWidget(NameLbl);
    fields->addWidget(NewPreset);
    fields->addSpacing(8);
    fields->addWidget(PresetsLbl);
    fields->addWidget(PresetList);

    // Save and Cancel beside the name, Delete beside the list it works on.
    auto *buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    buttons->addSpacing(NameLbl->sizeHint().height() + fields->spacing());
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    buttons->addWidget(Delete);

    layOutPresetDialog(this, fields, buttons);

    NewPreset->installEventFilter(this);
    connectPresetList(PresetList, this, &TSavePresetsForm::PresetListClick, &TSavePresetsForm::PresetListDblClick);
    connect(NewPreset, &QLineEdit::textChanged, this, &TSavePresetsForm::NewPresetChange);
    connect(Delete, &QPushButton::clicked, this, &TSavePresetsForm::DeleteClick);
    connect(OKBtn, &QPushButton::clicked, this, &TSavePresetsForm::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TSavePresetsForm::CancelBtnClick);
}

void TSavePresetsForm::setPresetNames(const QStringList &names)
{
    setListNames(PresetList, names);
}

QStringList TSavePresetsForm::presetNames() const
{
    return listNames(PresetList);
}

QString TSavePresetsForm::newPresetName() const
{
    return NewPreset->text().trimmed();
}

PresetSaveRequest TSavePresetsForm::saveRequest() const
{
    return {m_pendingDeletions, presetNames(), newPresetName()};
}

void TSavePresetsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TSavePresetsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == NewPreset && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKBtnClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TSavePresetsForm::FormShow()
{
    m_cancelled = false;
    m_pendingDeletions.clear();
    NewPreset->clear();
    Delete->setEnabled(false);
    OKBtn->setEnabled(false);
    NewPreset->setFocus();
}

void TSavePresetsForm::PresetListClick()
{
    const QList<QListWidgetItem *> selected = PresetList->selectedItems();
    if (!selected.isEmpty())
        NewPreset->setText(selected.first()->text());
}

void TSavePresetsForm::PresetListDblClick()
{
    OKBtnClick();
}

void TSavePresetsForm::NewPresetChange()
{
    Delete->setEnabled(!NewPreset->text().isEmpty());
    OKBtn->setEnabled(true);
}

void TSavePresetsForm::DeleteClick()
{
    const QString name = newPresetName();
    if (name.isEmpty()) {
        Beeper::instance().beep();
        return;
    }
    {
        // The entry of the name that is to be deleted leaves the list, so the list and the
        // deletions stay in step even when the name was typed rather than picked.
        const QSignalBlocker blocker(PresetList);
        for (int row = PresetList->count() - 1; row >= 0; --row) {
            if (PresetList->item(row)->text() == name) {
                delete PresetList->takeItem(row);
                break;
            }
        }
        PresetList->clearSelection();
        PresetList->setCurrentItem(nullptr);
    }
    m_pendingDeletions.append(name);
    NewPreset->clear();
    Delete->setEnabled(PresetList->count() > 0);
}

void TSavePresetsForm::OKBtnClick()
{
    const QString name = newPresetName();
    // Besides an empty name, refuse one that would mix with the program's own settings or
    // could not be read back from the file.
    if ((name.isEmpty() && m_pendingDeletions.isEmpty())
        || (!name.isEmpty() && !isAcceptablePresetName(name))) {
        NewPreset->setFocus();
        Beeper::instance().beep();
        return;
    }
    if (!name.isEmpty() && presetNames().indexOf(name) < 0) {
        const QSignalBlocker blocker(PresetList);
        PresetList->addItem(name);
    }
    accept();
}

void TSavePresetsForm::CancelBtnClick()
{
    reject();
}

void TSavePresetsForm::reject()
{
    m_cancelled = true;
    QDialog::reject();
}
