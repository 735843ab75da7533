#pragma once

#include <QDialog>
#include <QLabel>
#include <QSize>

class QFrame;
class QPushButton;

// A label that reads as a web link (blue, underlined, hand cursor) and reports clicks.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    LinkLabel(const QString &text, QWidget *parent);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// "About": created hidden at start-up and kept until exit, shown modally from the help menu.
// It shows the program's version and copyright from the build, and links to the installed
// help and user guide.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Where the links lead: the help folder and the install folder holding the user guide.
    void setInstallation(const QString &helpFile, const QString &installFolder);

    // Keeps the logo at its designed pixel size on a screen of pixelsPerInch.
    void scaleLogo(int pixelsPerInch);

    // The logo's size before scaling.
    static QSize designedLogoSize();
    // designed × 96 / pixelsPerInch, each side rounded to the nearest integer, ties to even.
    static QSize scaledLogoSize(QSize designed, int pixelsPerInch);

    QFrame *Panel = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *Copyright = nullptr;
    QLabel *Logo = nullptr;
    QLabel *ProgramIcon = nullptr;
    LinkLabel *HelpLink = nullptr;
    LinkLabel *UserGuideLink = nullptr;
    QLabel *PurposeLabel = nullptr;
    QLabel *TiffCredit = nullptr;
    QPushButton *OkButton = nullptr;

private:
    void FormCreate();
    void buildControls();
    void showProgramVersion();
    void centreLabels();
    void OkButtonClick();

    QString m_helpFile;
    QString m_installFolder;
};
