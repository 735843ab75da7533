#pragma once

#include <QString>

// What a tool tells the front end: one line per message on standard error. The front end
// counts a line that starts with "ERROR" as a failure; anything else is only logged.
class Diagnostics
{
public:
    void error(const QString &text);
    void warning(const QString &text);

    bool hasErrors() const { return m_errors > 0; }

private:
    int m_errors = 0;
};

// Answers "--version" when it is the only argument: the file version (for example
// "2, 8, 0, 1") on the first line, the tool's name on the second. Returns whether it did.
bool answerVersionRequest(int argc, char **argv, const char *fileVersion, const char *toolName);

// Standard input and output carry binary data; a reader that went away must give an
// error line, not a silent death by SIGPIPE.
void prepareBinaryStreams();

// A tool that gives up must still read what the tool before it writes: otherwise that one
// fails on a closed pipe, and its log blames it for a fault that is not its own. Not done
// when standard input is a terminal.
void drainStandardInput();
