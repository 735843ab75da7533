#pragma once

#include "InkDescription.h"
#include "PointList.h"

#include <QDialog>
#include <QList>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TCurvePreview;
struct CurveCreationSettings;

// "Curve Detail": point lists and curve files of one ink slot. Created hidden at start-up.
class TInkLoaderForm : public QDialog
{
    Q_OBJECT

public:
    explicit TInkLoaderForm(QWidget *parent = nullptr);
    ~TInkLoaderForm() override;

    // The ink-curves folder Browse starts in and updates; owned by the main window.
    void setSettings(CurveCreationSettings *settings);
    // The window Preview Curve shows the points in; owned by the main window.
    void setCurvePreview(TCurvePreview *preview);

    // Shows the dialog modally for one slot, captioned with its ink's display name.
    // descriptionFolder is the folder of the ink description file (empty for an unnamed
    // one): a curve file there is kept by name alone. On OK, curveData and curveSource
    // receive what the dialog holds and true is returned; on Cancel both stay unchanged.
    bool editCurve(const QString &caption, const QString &descriptionFolder, QString &curveData,
                   CurveSource &curveSource);

    // The rows' texts, row 1 first.
    QList<PointRow> pointRows() const;
    // Fills the rows from the numbers of a text, checking each box and each row as it goes.
    void loadPoints(const QString &text);

    void CopyBtnClick();
    void PasteBtnClick();
    void ClearBtnClick();
    void PreviewCurveClick();
    void BrowseClick();

    QTabWidget *InkLoaderPages;
    QWidget *DataSet;
    QWidget *Curve;
    QGroupBox *DatasetBox;
    QList<QWidget *> Points;        // Point1 to Point50
    QList<QLineEdit *> InputBoxes;  // X1, EditAlign1, EditAlign3, ...
    QList<QLineEdit *> OutputBoxes; // Y1, EditAlign2, EditAlign4, ...
    // Enabled only while the clipboard holds text.
    QPushButton *PasteBtn;
    QPushButton *CopyBtn;
    QPushButton *PreviewCurve;
    QPushButton *ClearBtn;
    QLineEdit *LoadCurveName;
    QPushButton *Browse;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

    // Cleared each time the dialog is shown; set when it is left without OK.
    bool Cancelled = false;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createPointListPage();
    QWidget *createFileNamePage();
    QWidget *createColumnHeading();
    QWidget *createPointRow(int row);
    int pointBoxWidth() const;
    void watchBoxes();
    void showPage(CurveSource source);
    CurveSource currentSource() const;
    bool pointListIsCurrent() const;

    void Float0_100Exit(QLineEdit *box);
    // The row check; false when the row has one box filled and not the other.
    bool PointExit(int row);
    int rowOf(const QWidget *widget) const;
    void rowFocusChanged(QWidget *old, QWidget *now);
    void DataSetShow();
    void OKBtnClick();
    void cutPoints();

    CurveCreationSettings *m_settings = nullptr;
    TCurvePreview *m_preview = nullptr;
    QString m_descriptionFolder;
    bool m_rowCheckMovesFocus = false;
};
