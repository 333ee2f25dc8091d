#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>

namespace b2d::test {

// A small HTTP server on 127.0.0.1 for the update check's tests. It answers every request with
// what it was told: a status and a body, a body that never ends, or nothing at all.
class LocalHttpServer final : public QTcpServer {
    Q_OBJECT
public:
    enum class Mode { Answer, Endless, Silent };

    LocalHttpServer();

    void answer(int status, const QByteArray &body);
    void endless() { m_mode = Mode::Endless; }
    void silent() { m_mode = Mode::Silent; }

    // http://127.0.0.1:PORT
    QString baseUrl() const;
    // The request lines received ("GET /path HTTP/1.1").
    const QStringList &requests() const { return m_requests; }

private:
    void serve(class QTcpSocket *socket);

    Mode m_mode = Mode::Answer;
    int m_status = 200;
    QByteArray m_body;
    QStringList m_requests;
};

// A port on 127.0.0.1 where nothing listens.
quint16 closedLocalPort();

}  // namespace b2d::test
