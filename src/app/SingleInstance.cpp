#include "app/SingleInstance.h"

#include "platform/PrivateFiles.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamo {

namespace {

// The owner takes the lock a moment before it listens; a launch that lost
// the race waits this long for the channel to open.
constexpr int handOverTimeoutMs = 5000;
constexpr int connectRetryMs = 50;

bool isPrivateFolder(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode)
           && info.st_uid == ::getuid() && (info.st_mode & 0077) == 0;
}

} // namespace

SingleInstance::SingleInstance(const QString &storeDirectory, QObject *parent)
    : QObject(parent), m_storeDirectory(storeDirectory)
{
}

SingleInstance::~SingleInstance()
{
    if (m_lockFile >= 0)
        ::close(m_lockFile);
}

QString SingleInstance::channelFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    // Made private from the start; one that another user made first is refused.
    const QString ours = QDir::tempPath() + QStringLiteral("/tamocove-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(ours).constData(), 0700);
    return isPrivateFolder(ours) ? ours : QString();
}

std::optional<int> SingleInstance::claimOrHandOver(const QStringList &files, int lockWaitMs)
{
    // A folder that cannot be made is named by the lock's failure below.
    privatefiles::makeFolder(m_storeDirectory);
    const QString folder = channelFolder();
    if (!folder.isEmpty()) {
        const QByteArray store = QFile::encodeName(QFileInfo(m_storeDirectory).canonicalFilePath());
        const QByteArray key = QCryptographicHash::hash(store, QCryptographicHash::Sha256).toHex().left(16);
        m_channel = folder + QStringLiteral("/tamocove-") + QString::fromLatin1(key) + QStringLiteral(".socket");
    }

    switch (lockStore(lockWaitMs)) {
    case Lock::taken:
        listen();
        return std::nullopt;
    case Lock::unavailable:
        // Whether another copy runs is unknown: running anyway could make two owners.
        qWarning().noquote() << QStringLiteral("TamoCove: %1").arg(m_problem);
        return 1;
    case Lock::heldElsewhere:
        break;
    }
    if (handOver(files)) {
        qWarning("TamoCove: already running; this launch was passed on to it");
        return 0;
    }
    qWarning("TamoCove: already running, but it did not answer");
    return 1;
}

SingleInstance::Lock SingleInstance::lockStore(int waitMs)
{
    const QString path = QDir(m_storeDirectory).filePath(QStringLiteral("Tamo.store.lock"));
    const auto unavailable = [this, &path](const char *failure) {
        m_problem = QStringLiteral("“%1” cannot be %2 (%3), so TamoCove cannot tell whether another copy of it is "
                                   "using your history.")
                        .arg(path, QLatin1String(failure), QString::fromLocal8Bit(std::strerror(errno)));
        return Lock::unavailable;
    };
    // Never waits on a FIFO left in its place.
    m_lockFile = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (m_lockFile < 0)
        return unavailable("opened");
    // Released by the system when the process ends, however it ends.
    Lock outcome = Lock::heldElsewhere;
    for (const QDeadlineTimer deadline(waitMs);; QThread::msleep(connectRetryMs)) {
        if (::flock(m_lockFile, LOCK_EX | LOCK_NB) == 0)
            return Lock::taken;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            outcome = unavailable("locked");
            break;
        }
        if (deadline.hasExpired())
            break;
    }
    ::close(m_lockFile);
    m_lockFile = -1;
    return outcome;
}

void SingleInstance::listen()
{
    if (m_channel.isEmpty())
        return;
    // We hold the lock, so a channel left here is a crashed owner's.
    QLocalServer::removeServer(m_channel);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_channel)) {
        qWarning().noquote() << QStringLiteral("TamoCove: later launches cannot reach this one: %1")
                                 .arg(m_server->errorString());
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
            readMessage(socket);
        }
    });
}

bool SingleInstance::handOver(const QStringList &files)
{
    if (m_channel.isEmpty())
        return false;
    const QByteArray message = QJsonDocument(QJsonArray::fromStringList(files)).toJson(QJsonDocument::Compact) + '\n';
    const QDeadlineTimer deadline(handOverTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_channel);
        if (socket.waitForConnected(connectRetryMs)) {
            socket.write(message);
            socket.flush();
            const bool sent = socket.bytesToWrite() == 0 || socket.waitForBytesWritten(handOverTimeoutMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(connectRetryMs);
    }
    return false;
}

void SingleInstance::readMessage(QLocalSocket *socket)
{
    // A launch sends one line; until all of it has come there is nothing to do.
    if (!socket->canReadLine())
        return;
    QStringList paths;
    for (const auto &file : QJsonDocument::fromJson(socket->readLine()).array())
        paths.append(file.toString());
    disconnect(socket, nullptr, this, nullptr);
    // Passed on from a turn of the event loop of its own: the files open
    // dialogs, and their event loops may free this socket while its signal
    // would still be on the stack.
    QMetaObject::invokeMethod(this, [this, paths] { emit activated(paths); }, Qt::QueuedConnection);
}

} // namespace tamo
