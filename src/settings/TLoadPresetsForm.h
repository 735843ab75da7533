#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;

// "Load Presets": created hidden at start-up and kept until exit. The caller fills the list,
// runs exec(), and unless cancelled() loads presetName().
class TLoadPresetsForm : public QDialog
{
    Q_OBJECT

public:
    explicit TLoadPresetsForm(QWidget *parent = nullptr);

    // Fills PresetList (kept sorted, letter case significant), with nothing selected.
    void setPresetNames(const QStringList &names);
    QStringList presetNames() const;

    bool cancelled() const { return m_cancelled; }
    // The entry chosen when the dialog was last closed with Load; kept across showings.
    const QString &presetName() const { return m_presetName; }

    QLabel *SelectLbl = nullptr;
    QListWidget *PresetList = nullptr;
    QPushButton *OKbtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void FormShow();
    void PresetListClick();
    void PresetListDblClick();
    void OKbtnClick();
    void CancelBtnClick();

public slots:
    // Escape and the close box act as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_cancelled = false;
    QString m_presetName;
};
