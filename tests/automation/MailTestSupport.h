#pragma once

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

#include "Events.h"

// Each test gets its own runtime directory (not yet existing, so that creating it is
// exercised too); child processes inherit it through the environment.
class PrivateRuntimeDirectory
{
public:
    PrivateRuntimeDirectory()
    {
        m_parent = std::make_unique<QTemporaryDir>();
        m_path = m_parent->path() + QStringLiteral("/run");
        qputenv("XDG_RUNTIME_DIR", m_path.toLocal8Bit());
    }
    QString path() const { return m_path; }
    bool isValid() const { return m_parent->isValid(); }

private:
    std::unique_ptr<QTemporaryDir> m_parent;
    QString m_path;
};

// Counts the check-mail notifications posted to it, as the main window would get them.
class CheckMailCounter : public QObject
{
public:
    int count = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == WM_CHECKMAIL) {
            ++count;
            return true;
        }
        return QObject::event(event);
    }
};

// Another start of the program: the helper executable built beside the tests.
class Peer
{
public:
    explicit Peer(const QStringList &arguments)
    {
        m_process.setProgram(QStringLiteral(MAILPEER_PATH));
        m_process.setArguments(arguments);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    // A running instance stays up until the test is done with it.
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    void start() { m_process.start(); }
    QProcess &process() { return m_process; }
    bool finished() const { return m_process.state() == QProcess::NotRunning; }
    // Lines it has printed so far.
    QList<QByteArray> lines()
    {
        m_output += m_process.readAllStandardOutput();
        QList<QByteArray> all = m_output.split('\n');
        all.removeLast(); // the unfinished rest
        return all;
    }
    bool said(const QByteArray &line) { return lines().contains(line); }

private:
    QProcess m_process;
    QByteArray m_output;
};
