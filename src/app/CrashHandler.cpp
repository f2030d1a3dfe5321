#include "app/CrashHandler.h"

#include "app/Product.h"
#include "platform/PrivateFiles.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <atomic>
#include <csignal>
#include <algorithm>
#include <cstring>
#include <vector>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace tamo::CrashHandler {

namespace {

// Made before any crash: the handler may only use what is async-signal-safe.
char reportPath[4096];
char header[512];
constexpr int fatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
std::atomic<CrashCleanup> cleanupOnCrash{nullptr};

// A thread's own stack for the handler, given back when the thread ends.
class AlternateStack
{
public:
    AlternateStack() : m_memory(std::max<size_t>(SIGSTKSZ, 64 * 1024))
    {
        stack_t stack{};
        stack.ss_sp = m_memory.data();
        stack.ss_size = m_memory.size();
        m_installed = ::sigaltstack(&stack, nullptr) == 0;
    }
    ~AlternateStack()
    {
        if (!m_installed)
            return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
    }
    AlternateStack(const AlternateStack &) = delete;
    AlternateStack &operator=(const AlternateStack &) = delete;

private:
    std::vector<char> m_memory;
    bool m_installed = false;
};

void writeAll(int fd, const char *text, size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, text, length);
        if (written <= 0)
            return;
        text += written;
        length -= size_t(written);
    }
}

void writeNumber(int fd, int value)
{
    char digits[16];
    int at = sizeof digits;
    unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
    do {
        digits[--at] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 && at > 1);
    if (value < 0)
        digits[--at] = '-';
    writeAll(fd, digits + at, sizeof digits - at);
}

void onFatalSignal(int signal)
{
    if (const CrashCleanup cleanup = cleanupOnCrash.load())
        cleanup();
    const int fd = ::open(reportPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd >= 0) {
        writeAll(fd, header, std::strlen(header));
        writeAll(fd, "Signal: ", 8);
        writeNumber(fd, signal);
        const char *name = sigabbrev_np(signal);
        if (name) {
            writeAll(fd, " (SIG", 5);
            writeAll(fd, name, std::strlen(name));
            writeAll(fd, ")", 1);
        }
        writeAll(fd, "\n\nCall stack:\n", 14);
        void *frames[64];
        backtrace_symbols_fd(frames, backtrace(frames, 64), fd);
        ::close(fd);
    }
    // Again with the default action, which ends the process as the signal meant.
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

} // namespace

void install(const QString &folder)
{
    privatefiles::makeFolder(folder);
    const QDateTime started = QDateTime::currentDateTime();
    const QByteArray path = QFile::encodeName(
        folder + QStringLiteral("/TamoCove-%1-%2.crash")
                     .arg(started.toString(QStringLiteral("yyyy-MM-dd-HHmmss")))
                     .arg(QCoreApplication::applicationPid()));
    const QByteArray head = QStringLiteral("TamoCove %1 crashed\nStarted: %2\nProcess: %3\n")
                                .arg(product::version(), started.toString(Qt::ISODate))
                                .arg(QCoreApplication::applicationPid())
                                .toUtf8();
    if (size_t(path.size()) >= sizeof reportPath || size_t(head.size()) >= sizeof header)
        return;
    std::memcpy(reportPath, path.constData(), size_t(path.size()) + 1);
    std::memcpy(header, head.constData(), size_t(head.size()) + 1);
    // backtrace() loads its unwinder on first use, which is not safe inside the handler.
    void *warmUp[1];
    backtrace(warmUp, 1);
    coverThisThread();
    struct sigaction action{};
    action.sa_handler = onFatalSignal;
    action.sa_flags = SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const int signal : fatalSignals)
        ::sigaction(signal, &action, nullptr);
}

void coverThisThread()
{
    static thread_local AlternateStack stack;
}

void setCleanup(CrashCleanup cleanup)
{
    cleanupOnCrash.store(cleanup);
}

} // namespace tamo::CrashHandler
