#include "TInkDescription.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QPushButton>

TInkDescription::TInkDescription(QWidget *parent)
    : QWidget(parent, Qt::Window),
      PrintingModelName(new QComboBox),
      PasteBtn(new QPushButton(QStringLiteral("Paste Values"))),
      OpenInkDescription(new QFileDialog(this, QStringLiteral("Open Ink Description")))
{
    setObjectName(QStringLiteral("TInkDescription"));
    setWindowTitle(QStringLiteral("Curve Creator"));
    setProperty("helpContext", 9000);
    PrintingModelName->setObjectName(QStringLiteral("PrintingModelName"));
    PasteBtn->setObjectName(QStringLiteral("PasteBtn"));
    PasteBtn->setEnabled(false);
    OpenInkDescription->setObjectName(QStringLiteral("OpenInkDescription"));
    OpenInkDescription->setNameFilter(QStringLiteral("Ink descriptions (*.zidf)"));

    auto *layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Printing Model"), PrintingModelName);
    layout->addRow(PasteBtn);
}
