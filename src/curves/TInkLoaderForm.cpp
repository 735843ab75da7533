#include "TInkLoaderForm.h"

#include <QPushButton>
#include <QVBoxLayout>

TInkLoaderForm::TInkLoaderForm(QWidget *parent)
    : QDialog(parent), PasteBtn(new QPushButton(QStringLiteral("Paste Points")))
{
    setObjectName(QStringLiteral("TInkLoaderForm"));
    setWindowTitle(QStringLiteral("Curve Detail"));
    PasteBtn->setObjectName(QStringLiteral("PasteBtn"));
    PasteBtn->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PasteBtn);
}

void TInkLoaderForm::setSettings(CurveCreationSettings *settings)
{
    m_settings = settings;
}

bool TInkLoaderForm::editCurve(const QString &caption, const QString &, QString &, CurveSource &)
{
    setWindowTitle(caption);
    return exec() == QDialog::Accepted;
}
