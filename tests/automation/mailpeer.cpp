// Another start of the program, as the mail tests need it:
//   mailpeer probe                  prints "another", "first" or "error: ..."
//   mailpeer hold [--wait]          takes the instance lock and opens the channel (with
//                                   --wait only after a line on standard input), prints
//                                   "ready", then each message that arrives as a hex line
//                                   and "activate" for each request to come to the front
//   mailpeer hold-lock              takes the lock only and prints "ready"
//   mailpeer handover [--hex] [--timeout MS] PATH...
//                                   prints "another" when there is a running instance,
//                                   then hands the paths over (--hex: each given in hex);
//                                   exit 0 handed over, 2 no running instance, 3 failed

#include "MailChannel.h"
#include "MailMessage.h"
#include "SingleInstanceGuard.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int probe()
{
    const SingleInstanceGuard guard;
    if (guard.isAnotherInstance())
        say("another");
    else if (guard.holdsLock())
        say("first");
    else
        say("error: " + guard.errorString().toLocal8Bit());
    return 0;
}

int hold(bool channel, bool waitForInput)
{
    const SingleInstanceGuard guard;
    if (!guard.holdsLock()) {
        say("error: lock not taken");
        return 2;
    }
    MailChannel mail;
    QObject::connect(&mail, &MailChannel::messagesArrived, [&mail] {
        while (mail.hasMessage())
            say(mail.read().toHex());
    });
    QObject::connect(&mail, &MailChannel::activationRequested, [] { say("activate"); });
    const auto open = [&mail] {
        if (!mail.create()) {
            say("error: " + mail.errorString().toLocal8Bit());
            QCoreApplication::exit(2);
            return;
        }
        say("ready");
    };
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    if (channel && waitForInput) {
        say("locked");
        QObject::connect(&input, &QSocketNotifier::activated, [&input, open] {
            input.setEnabled(false);
            open();
        });
    } else {
        input.setEnabled(false);
        if (channel)
            open();
        else
            say("ready");
    }
    return QCoreApplication::exec();
}

int handOver(QList<QByteArray> arguments)
{
    bool hex = false;
    int timeoutMs = SingleInstanceGuard::DefaultHandOverTimeoutMs;
    while (!arguments.isEmpty()) {
        if (arguments.first() == "--hex") {
            hex = true;
            arguments.removeFirst();
        } else if (arguments.first() == "--timeout" && arguments.size() > 1) {
            timeoutMs = arguments.at(1).toInt();
            arguments.remove(0, 2);
        } else {
            break;
        }
    }
    if (hex) {
        for (QByteArray &argument : arguments)
            argument = QByteArray::fromHex(argument);
    }
    const SingleInstanceGuard guard;
    if (!guard.isAnotherInstance())
        return 2;
    say("another");
    return guard.handOver(arguments, timeoutMs) ? 0 : 3;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // Taken from argv, not from arguments(): paths may hold bytes that are not valid in
    // the system's encoding and must arrive unchanged.
    QList<QByteArray> arguments = commandLineArguments(argc, argv);
    const QByteArray mode = arguments.isEmpty() ? QByteArray() : arguments.takeFirst();
    if (mode == "probe")
        return probe();
    if (mode == "hold")
        return hold(true, arguments.value(0) == "--wait");
    if (mode == "hold-lock")
        return hold(false, false);
    if (mode == "handover")
        return handOver(arguments);
    say("error: unknown mode");
    return 64;
}
