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
