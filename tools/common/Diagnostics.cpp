#include "Diagnostics.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

void writeLine(const QString &prefix, const QString &text)
{
    // A message spans exactly one line whatever the text holds (file names, TIFF errors).
    QString line = prefix + text;
    for (QChar &c : line) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace

void Diagnostics::error(const QString &text)
{
    ++m_errors;
    writeLine(QStringLiteral("ERROR: "), text);
}

void Diagnostics::warning(const QString &text)
{
    writeLine(QStringLiteral("Warning: "), text);
}

bool answerVersionRequest(int argc, char **argv, const char *fileVersion, const char *toolName)
{
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0)
        return false;
    std::printf("%s\n%s (Zorlane stand-in tool)\n", fileVersion, toolName);
    std::fflush(stdout);
    return true;
}

void prepareBinaryStreams()
{
    std::signal(SIGPIPE, SIG_IGN);
}

void drainStandardInput()
{
    if (isatty(STDIN_FILENO))
        return;
    char buffer[65536];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
}
