#pragma once

#include "Presets.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Save Preset": created hidden at start-up and kept until exit. The caller fills the list,
// runs exec(), and unless cancelled() hands saveRequest() to storePresets().
class TSavePresetsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TSavePresetsForm(QWidget *parent = nullptr);

    // Fills PresetList (kept sorted, letter case significant).
    void setPresetNames(const QStringList &names);
    // The entries of PresetList in list order.
    QStringList presetNames() const;

    bool cancelled() const { return m_cancelled; }
    const QStringList &pendingDeletions() const { return m_pendingDeletions; }
    // The name to save under: the text of NewPreset without blanks at either end.
    QString newPresetName() const;
    PresetSaveRequest saveRequest() const;

    QLabel *NameLbl = nullptr;
    QLineEdit *NewPreset = nullptr;
    QLabel *PresetsLbl = nullptr;
    QListWidget *PresetList = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *Delete = nullptr;

    void FormShow();
    void PresetListClick();
    void PresetListDblClick();
    void NewPresetChange();
    void DeleteClick();
    void OKBtnClick();
    void CancelBtnClick();

public slots:
    // Escape and the close box act as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_cancelled = false;
    QStringList m_pendingDeletions;
};
