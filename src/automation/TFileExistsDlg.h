#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

// "File Exists": asks what to do with a file whose name is already taken in the
// "Processed" folder. Created hidden at start-up and kept until exit. The caller fills
// FileName, the Disposal choice and RepeatAction, runs it modally and reads OK and the
// choices back. Only the OK button confirms; Cancel, Escape and the close box all leave
// OK false.
class TFileExistsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TFileExistsDlg(QWidget *parent = nullptr);

    QLabel *FileLbl = nullptr;
    QLabel *FileName = nullptr;
    QLabel *ExistsLbl = nullptr;
    // The radio group: the box with its two items "DisposalItem0" and "DisposalItem1";
    // DisposalGroup numbers them 0 and 1.
    QGroupBox *Disposal = nullptr;
    QButtonGroup *DisposalGroup = nullptr;
    QCheckBox *RepeatAction = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    bool OK = false;

    enum DisposalItem { RemoveIt = 0, AddSequenceNumber = 1 };
    // The selected item of Disposal, -1 when none is.
    int disposalIndex() const;
    // Selects an item; values below -1 count as -1 (nothing selected), values above the
    // last item as the last item.
    void setDisposalIndex(int index);

    void OKBtnClick();
    void CancelBtnClick();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
};
