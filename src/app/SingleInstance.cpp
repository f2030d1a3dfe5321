#include "app/SingleInstance.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace tamo {

namespace {
constexpr int handOverTimeoutMs = 2000;
}

SingleInstance::SingleInstance(const QString &name, QObject *parent) : QObject(parent), m_name(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return QStringLiteral("TamoCove-%1").arg(::getuid());
}

bool SingleInstance::claim(const QStringList &files)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (socket.waitForConnected(handOverTimeoutMs)) {
        socket.write(QJsonDocument(QJsonArray::fromStringList(files)).toJson(QJsonDocument::Compact) + '\n');
        socket.waitForBytesWritten(handOverTimeoutMs);
        socket.disconnectFromServer();
        return false;
    }

    // Nobody answered: a channel left by a crashed instance is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        return true; // run without the channel rather than not at all
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readMessage);
    return true;
}

void SingleInstance::readMessage()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QJsonArray files = QJsonDocument::fromJson(socket->readLine()).array();
            QStringList paths;
            for (const auto &file : files)
                paths.append(file.toString());
            emit activated(paths);
        });
    }
}

} // namespace tamo
