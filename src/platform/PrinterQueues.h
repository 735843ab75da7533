#pragma once

#include <QString>
#include <QStringList>

// The print system's queues as it shows them: a queue with an instance is "name/instance".
struct PrinterQueueList
{
    QStringList names;
    QString defaultName; // empty when the print system has no default queue
};

// Where the program learns the printer queues and the default queue.
class PrinterQueues
{
public:
    virtual ~PrinterQueues() = default;

    // Empty when no print system is reachable; never waits long for one.
    virtual PrinterQueueList queues() = 0;

    static PrinterQueues &instance();
    // Replaces the service (tests); nullptr restores the print system's.
    static void setInstance(PrinterQueues *queues);
};

// The CUPS destinations of the server libcups chooses (CUPS_SERVER, client.conf, the
// local scheduler), with the user's instances and default from lpoptions.
class CupsPrinterQueues : public PrinterQueues
{
public:
    // How long a server that accepts the connection but never answers may keep the caller
    // waiting; libcups adds a second of its own to each of its two requests. A working
    // local server answers in milliseconds.
    static constexpr int AnswerBudgetMs = 3000;

    PrinterQueueList queues() override;
};

// A fixed list of queues, for tests; counts how often it was asked.
class FixedPrinterQueues : public PrinterQueues
{
public:
    FixedPrinterQueues() = default;
    FixedPrinterQueues(QStringList names, QString defaultName)
        : m_list{std::move(names), std::move(defaultName)}
    {
    }

    void setQueues(QStringList names, QString defaultName)
    {
        m_list = {std::move(names), std::move(defaultName)};
    }
    int calls() const { return m_calls; }

    PrinterQueueList queues() override
    {
        ++m_calls;
        return m_list;
    }

private:
    PrinterQueueList m_list;
    int m_calls = 0;
};

// Installs a fixed list for the lifetime of a test and removes it afterwards.
class ScopedFixedPrinterQueues : public FixedPrinterQueues
{
public:
    ScopedFixedPrinterQueues(QStringList names, QString defaultName)
        : FixedPrinterQueues(std::move(names), std::move(defaultName))
    {
        PrinterQueues::setInstance(this);
    }
    ~ScopedFixedPrinterQueues() override { PrinterQueues::setInstance(nullptr); }
};
