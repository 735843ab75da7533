#pragma once

#include "InkDescription.h"

#include <QDialog>

class QPushButton;
struct CurveCreationSettings;

// "Curve Detail": point lists and curve files of one ink slot. Created hidden at start-up.
class TInkLoaderForm : public QDialog
{
    Q_OBJECT

public:
    explicit TInkLoaderForm(QWidget *parent = nullptr);

    // The ink-curves folder Browse starts in and updates; owned by the main window.
    void setSettings(CurveCreationSettings *settings);

    // Shows the dialog modally for one slot, captioned with its ink's display name.
    // descriptionFolder is the folder of the ink description file (empty for an unnamed
    // one): a curve file there is kept by name alone. On OK, curveData and curveSource
    // receive what the dialog holds and true is returned; on Cancel both stay unchanged.
    bool editCurve(const QString &caption, const QString &descriptionFolder, QString &curveData,
                   CurveSource &curveSource);

    // Enabled only while the clipboard holds text.
    QPushButton *PasteBtn;

private:
    CurveCreationSettings *m_settings = nullptr;
};
