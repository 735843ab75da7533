#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

// What the version resource of a Windows executable says about it. Every field starts empty,
// false or 0 and stays so when the file does not carry that information.
struct TFileVersionInfo
{
    QString TypeName; // the MIME database's description of the file, at most 80 characters
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyRight;
    QString LegalTradeMarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString SpecialBuild;
    QString PrivateBuild;
    // The file kind code derived from the fixed information's file type and subtype.
    std::uint8_t FileKind = 0;
    // Fixed information flags, each true when set both in the flags and in their mask.
    bool IsDebug = false;
    bool IsPrerelease = false;
    bool IsInfoInferred = false;
    bool IsPrivateBuild = false;
    bool IsPatched = false;
    bool IsSpecialBuild = false;
};

// Reads the version information of one file. The file is read as plain bytes: nothing of
// it is run or loaded, and any content, however damaged, gives a result.
class TFileInfo
{
public:
    explicit TFileInfo(const QString &path) : m_path(path) {}

    // True when the file is a Windows executable image (an application, a DLL or a driver).
    bool isExecutable() const;
    TFileVersionInfo read() const;

private:
    QString m_path;
};

// True when bytes hold the headers of a Windows executable image.
bool isWindowsExecutable(QByteArrayView bytes);

// Everything but the type name, from the bytes of an executable image; a record with every
// field empty when bytes are not one or carry no version resource.
TFileVersionInfo readVersionResource(QByteArrayView bytes);

// The file kind code for a fixed information's file type and subtype.
std::uint8_t fileKindCode(std::uint32_t fileType, std::uint32_t fileSubtype);
