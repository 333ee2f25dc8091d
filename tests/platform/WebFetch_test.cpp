#include "platform/WebFetch.h"

#include "support/LocalHttpServer.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::LocalHttpServer;

namespace {

const QString kPath = QStringLiteral("/sistemas/DORVANE/VersionApp.xml");

}  // namespace

TEST(WebFetch, ReadsTheWholeBodyOfA2xxAnswer)
{
    LocalHttpServer server;
    server.answer(200, "94</>http://updates.example/velmora-94.exe");
    QtWebFetcher web(5000);
    const WebPage page = web.fetch(QUrl(server.baseUrl() + kPath));
    EXPECT_EQ(page.outcome, WebPage::Outcome::Ok) << page.detail.toStdString();
    EXPECT_EQ(page.body, QByteArray("94</>http://updates.example/velmora-94.exe"));
    EXPECT_EQ(server.requests(), QStringList{QStringLiteral("GET ") + kPath + QStringLiteral(" HTTP/1.1")});
}

TEST(WebFetch, EveryFailureIsAPageThatCouldNotBeRead)
{
    const struct {
        const char *name;
        std::function<QString(LocalHttpServer &)> setUp;  // the address to fetch
        const char *detail;                              // part of the detail
    } cases[] = {
        {"status 404",
         [](LocalHttpServer &s) -> QString {
             s.answer(404, "94</>http://updates.example/x.exe");
             return s.baseUrl() + kPath;
         },
         "404"},
        {"status 500", [](LocalHttpServer &s) -> QString { s.answer(500, "oops"); return s.baseUrl() + kPath; }, "500"},
        {"endless body", [](LocalHttpServer &s) -> QString { s.endless(); return s.baseUrl() + kPath; }, "larger than"},
        {"no answer", [](LocalHttpServer &s) -> QString { s.silent(); return s.baseUrl() + kPath; }, "no answer within"},
        {"nothing listening",
         [](LocalHttpServer &) -> QString {
             return QStringLiteral("http://127.0.0.1:%1").arg(b2d::test::closedLocalPort()) + kPath;
         },
         "refused"},
        {"not http", [](LocalHttpServer &) { return QStringLiteral("ftp://127.0.0.1/x"); }, "not an http"},
        {"not an address", [](LocalHttpServer &) { return QStringLiteral("sistemas/DORVANE"); }, "not an http"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LocalHttpServer server;
        const QString address = c.setUp(server);
        QtWebFetcher web(400, 32 * 1024);
        QElapsedTimer timer;
        timer.start();
        const WebPage page = web.fetch(QUrl(address));
        EXPECT_LT(timer.elapsed(), 3000);
        EXPECT_EQ(page.outcome, WebPage::Outcome::PageFailed);
        EXPECT_TRUE(page.body.isEmpty());
        EXPECT_TRUE(page.detail.contains(QLatin1String(c.detail), Qt::CaseInsensitive)) << page.detail.toStdString();
    }
}
