#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace b2d {

// What one fetch of a web document gave.
struct WebPage {
    enum class Outcome {
        Ok,                // the whole body arrived with a 2xx status
        ConnectionFailed,  // no internet access could be set up (a proxy failure, no TLS support)
        PageFailed,        // the page could not be read: no server, a timeout, a status outside
                           // 2xx, a body over the size cap, an address that is not http(s)
    };
    Outcome outcome = Outcome::PageFailed;
    QByteArray body;  // the body when Ok
    QString detail;   // what went wrong, for the run log
};

// The seam to the network: fetches one document by HTTP(S) GET.
class WebFetcher {
public:
    virtual ~WebFetcher() = default;
    virtual WebPage fetch(const QUrl &address) = 0;
};

// The fetcher over Qt Network. It waits in a local event loop that takes no user input, so that
// a window accepts no other command meanwhile. The fetch is bounded: a whole-transfer timeout
// and a size cap on the body. Nothing is written to a cache. The system's proxy configuration
// is used, except for loopback addresses which are always reached directly.
class QtWebFetcher final : public WebFetcher {
public:
    static constexpr int kDefaultTimeoutMs = 15000;
    static constexpr qint64 kDefaultMaxBytes = 64 * 1024;

    explicit QtWebFetcher(int timeoutMs = kDefaultTimeoutMs, qint64 maxBytes = kDefaultMaxBytes)
        : m_timeoutMs(timeoutMs), m_maxBytes(maxBytes)
    {
    }
    WebPage fetch(const QUrl &address) override;

private:
    int m_timeoutMs;
    qint64 m_maxBytes;
};

// The seam to the desktop: opens an address with the platform's handler (the browser).
class BrowserOpener {
public:
    virtual ~BrowserOpener() = default;
    // False when no handler could be started.
    virtual bool openUrl(const QUrl &address) = 0;
};

}  // namespace b2d
