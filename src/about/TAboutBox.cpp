#include "TAboutBox.h"

#include "HelpCommands.h"
#include "PageGeometry.h"
#include "ProgramLogo.h"
#include "ProgramVersion.h"

#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>

#include <tiffio.h>

namespace {

constexpr QSize kClientSize(305, 298);
constexpr QRect kPanel(8, 8, 289, 244);
constexpr QSize kDesignedLogo(64, 66);
constexpr int kCreditWidth = 265;

// libtiff's first version line, e.g. "LIBTIFF, Version 4.5.0".
QString tiffLibraryName()
{
    return QString::fromLatin1(TIFFGetVersion()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

QLabel *label(QWidget *parent, const char *name, const QString &text, QPoint at)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(name));
    result->move(at);
    result->adjustSize();
    return result;
}

} // namespace

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    setPalette(blue);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientSize);
    buildControls();
    FormCreate();
}

void TAboutBox::buildControls()
{
    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setGeometry(kPanel);

    Logo = label(Panel, "Logo", QString(), QPoint(12, 12));
    ProgramIcon = label(Panel, "ProgramIcon", QString(), QPoint(kPanel.width() - 44, 12));
    ProgramIcon->setFixedSize(32, 32);
    ProgramIcon->setPixmap(programLogo(QSize(32, 32), devicePixelRatioF()));

    ProductName = label(Panel, "ProductName", QStringLiteral("Diridu"), QPoint(0, 14));
    QFont times(QStringLiteral("Times New Roman"));
    times.setPixelSize(30);
    times.setBold(true);
    ProductName->setFont(times);
    QPalette red = ProductName->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ProductName->setPalette(red);
    ProductName->adjustSize();
    ProductName->move((kPanel.width() - ProductName->width()) / 2, 14);

    Version = label(Panel, "Version", QStringLiteral("Version 00.00"), QPoint(0, 56));
    Copyright = label(Panel, "Copyright", QString(), QPoint(0, 90));
    HelpLink = new LinkLabel(QStringLiteral("Diridu Help"), Panel);
    HelpLink->setObjectName(QStringLiteral("HelpLink"));
    HelpLink->move(0, 116);
    UserGuideLink = new LinkLabel(QStringLiteral("Zorlane User Guide"), Panel);
    UserGuideLink->setObjectName(QStringLiteral("UserGuideLink"));
    UserGuideLink->move(0, 136);
    PurposeLabel =
        label(Panel, "PurposeLabel", QStringLiteral("Diridu is a graphical front end for Zorlane."),
              QPoint(0, 164));
    TiffCredit = label(Panel, "TiffCredit",
                       QStringLiteral("TIFF support: %1, Copyright (c) 1988-1997 Sam Leffler, "
                                      "Copyright (c) 1991-1997 Silicon Graphics, Inc.")
                           .arg(tiffLibraryName()),
                       QPoint(0, 190));
    TiffCredit->setWordWrap(true);
    TiffCredit->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont small = TiffCredit->font();
    small.setPixelSize(11);
    TiffCredit->setFont(small);
    TiffCredit->setFixedWidth(kCreditWidth);
    TiffCredit->setFixedHeight(TiffCredit->heightForWidth(kCreditWidth));

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    OkButton->setGeometry((kClientSize.width() - 75) / 2, kPanel.bottom() + 12, 75, 25);

    connect(OkButton, &QPushButton::clicked, this, &TAboutBox::OkButtonClick);
    connect(HelpLink, &LinkLabel::clicked, this, [this] { ShowHelpContents(m_helpFile); });
    connect(UserGuideLink, &LinkLabel::clicked, this, [this] { OpenUserGuide(m_installFolder); });
}

void TAboutBox::FormCreate()
{
    scaleLogo(logicalDpiY());
    showProgramVersion();
    centreLabels();
}

void TAboutBox::setInstallation(const QString &helpFile, const QString &installFolder)
{
    m_helpFile = helpFile;
    m_installFolder = installFolder;
}

QSize TAboutBox::designedLogoSize()
{
    return kDesignedLogo;
}

QSize TAboutBox::scaledLogoSize(QSize designed, int pixelsPerInch)
{
    if (pixelsPerInch <= 0)
        return designed;
    const double factor = 96.0 / pixelsPerInch;
    return QSize(int(Round(designed.width() * factor)), int(Round(designed.height() * factor)));
}

void TAboutBox::scaleLogo(int pixelsPerInch)
{
    const QSize size = scaledLogoSize(kDesignedLogo, pixelsPerInch);
    Logo->setFixedSize(size);
    Logo->setPixmap(programLogo(size, devicePixelRatioF()));
}

void TAboutBox::showProgramVersion()
{
    const TProgramVersion version = programVersion();
    Version->setText(QStringLiteral("Version ") + version.shortText());
    Version->setToolTip(version.text());
    Version->adjustSize();
    Copyright->setText(version.LegalCopyright);
    Copyright->adjustSize();
}

// Integer division as the layout rules have it: a control wider than its space moves left.
void TAboutBox::centreLabels()
{
    Version->move(ProductName->x() + (ProductName->width() - Version->width()) / 2, Version->y());
    for (QWidget *control :
         {static_cast<QWidget *>(Copyright), static_cast<QWidget *>(HelpLink),
          static_cast<QWidget *>(UserGuideLink), static_cast<QWidget *>(PurposeLabel),
          static_cast<QWidget *>(TiffCredit)}) {
        control->adjustSize();
        control->move((Panel->width() - control->width()) / 2, control->y());
    }
}

void TAboutBox::OkButtonClick()
{
    accept();
}
