#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tamo::testing {

// An HTTP/1.0 server on the loopback interface for the network tests. Each
// path answers one way; every connection is closed after its answer.
class TinyHttpServer : public QObject
{
public:
    struct Route
    {
        QByteArray status = "200 OK";
        QByteArrayList headers;
        QByteArray body;
        qint64 streamedBytes = 0; // filler sent after the body, as the client reads
        bool silent = false;      // reads the request, never answers
        bool held = false;        // answers once released
    };

    TinyHttpServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TinyHttpServer::accept);
        m_server.listen(QHostAddress::LocalHost);
    }

    void route(const QByteArray &path, const Route &route) { m_routes.insert(path, route); }
    QUrl url(const QByteArray &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(QLatin1String(path)));
    }
    int hits(const QByteArray &path) const { return m_hits.value(path); }
    qint64 bytesSent() const { return m_bytesSent; }

    void releaseHeld()
    {
        for (const auto &[socket, route] : std::exchange(m_held, {})) {
            if (socket)
                answer(socket, route);
        }
    }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { stream(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.remove(socket); });
        }
    }

    void readRequest(QTcpSocket *socket)
    {
        QByteArray &request = m_connections[socket].request;
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        ++m_hits[path];
        const Route route = m_routes.value(path, Route{"404 Not Found", {"Content-Type: text/html"}, "missing"});
        if (route.held)
            m_held.append({socket, route});
        else if (!route.silent)
            answer(socket, route);
    }

    void answer(QTcpSocket *socket, const Route &route)
    {
        QByteArray head = "HTTP/1.0 " + route.status + "\r\n";
        for (const QByteArray &header : route.headers)
            head += header + "\r\n";
        send(socket, head + "\r\n" + route.body);
        m_connections[socket].unsentFiller = route.streamedBytes;
        stream(socket);
    }

    // Sends filler a chunk at a time, as fast as the client takes it, then closes.
    void stream(QTcpSocket *socket)
    {
        if (socket->bytesToWrite() > 0)
            return;
        qint64 &unsent = m_connections[socket].unsentFiller;
        if (unsent <= 0) {
            socket->disconnectFromHost();
            return;
        }
        const qint64 chunk = std::min<qint64>(unsent, 64 * 1024);
        unsent -= chunk;
        send(socket, QByteArray(chunk, ' '));
    }

    void send(QTcpSocket *socket, const QByteArray &bytes)
    {
        m_bytesSent += bytes.size();
        socket->write(bytes);
    }

    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
    QHash<QByteArray, int> m_hits;
    struct Connection
    {
        QByteArray request;
        qint64 unsentFiller = 0;
    };
    QHash<QTcpSocket *, Connection> m_connections;
    QList<std::pair<QPointer<QTcpSocket>, Route>> m_held;
    qint64 m_bytesSent = 0;
};

} // namespace tamo::testing
