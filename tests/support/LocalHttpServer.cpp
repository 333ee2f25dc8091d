#include "support/LocalHttpServer.h"

#include <QTcpSocket>

namespace b2d::test {

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

}  // namespace

LocalHttpServer::LocalHttpServer()
{
    listen(QHostAddress::LocalHost);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = nextPendingConnection()) {
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
        }
    });
}

void LocalHttpServer::answer(int status, const QByteArray &body)
{
    m_mode = Mode::Answer;
    m_status = status;
    m_body = body;
}

QString LocalHttpServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(serverPort());
}

void LocalHttpServer::serve(QTcpSocket *s)
{
    const QByteArray request = s->readAll();
    if (s->property("answered").toBool())
        return;
    s->setProperty("answered", true);
    m_requests << QString::fromLatin1(request.left(request.indexOf("\r\n")));
    switch (m_mode) {
    case Mode::Silent:
        return;
    case Mode::Answer:
        s->write("HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason(m_status)
                 + "\r\nContent-Type: text/plain\r\nContent-Length: "
                 + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
        s->disconnectFromHost();
        return;
    case Mode::Endless:
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
        connect(s, &QTcpSocket::bytesWritten, s, [s] {
            if (s->bytesToWrite() < 8192)
                s->write(QByteArray(8192, '9'));
        });
        s->write(QByteArray(8192, '9'));
        return;
    }
}

quint16 closedLocalPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace b2d::test
