#include "app/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace tamo {

namespace {

constexpr std::array quitSignals{SIGTERM, SIGINT, SIGHUP};

int signalPipe[2] = {-1, -1};
struct sigaction previousActions[quitSignals.size()];

void writeSignal(int signal)
{
    const char number = char(signal);
    // Async-signal-safe; a full pipe already holds a quit.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0) {
        std::perror("TamoCove: signals will end the app without saving");
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < quitSignals.size(); ++i)
        ::sigaction(quitSignals[i], &action, &previousActions[i]);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < quitSignals.size(); ++i)
        ::sigaction(quitSignals[i], &previousActions[i], nullptr);
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void QuitSignals::readSignal()
{
    char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1) {
    }
    QCoreApplication::quit();
}

} // namespace tamo
