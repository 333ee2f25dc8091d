#include "data/DataAccess.h"

#include "data/SqlFixture.h"
#include "runtime/Errors.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;
using namespace b2d::test;

namespace {

const QStringList kVersionDb = {
    QStringLiteral("CREATE TABLE b2d_procedures (name TEXT PRIMARY KEY COLLATE NOCASE, body TEXT NOT NULL)"),
    QStringLiteral("INSERT INTO b2d_procedures VALUES ('versionbd', 'SELECT ''2.04'' AS Version')"),
};

enum class FailsAt { Open, LoadParameters, FirstRequest };

}  // namespace

TEST(ConnectionsFile, ErrorsNameTheEntityAndTheFile)
{
    struct Case {
        const char *what;
        const char *ini;
        FailsAt at;
        const char *named;  // what the message must name besides the file
    };
    const Case cases[] = {
        {"unknown driver", "[HISTORIAL]\ndriver=mysql\ndatabase=h.db\n", FailsAt::Open, "HISTORIAL"},
        {"no driver", "[HISTORIAL]\ndatabase=h.db\n", FailsAt::Open, "HISTORIAL"},
        {"sqlite group without database", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n[INTERNOS]\ndriver=sqlite\n",
         FailsAt::Open, "INTERNOS"},
        {"sqlite file that does not exist", "[NCM]\ndriver=sqlite\ndatabase=nada/ncm.db\n", FailsAt::Open, "NCM"},
        {"odbc group without connection", "[NCM]\ndriver=odbc\n", FailsAt::Open, "NCM"},
        {"unknown dialect", "[NCM]\ndriver=odbc\nconnection=DSN=x\ndialect=oracle\n", FailsAt::Open, "oracle"},
        {"key outside a group", "\ndriver=sqlite\n[HISTORIAL]\n", FailsAt::Open, "línea 2"},
        {"a file that is not a database", "[HISTORIAL]\ndriver=sqlite\ndatabase=notes.txt\n",
         FailsAt::LoadParameters, "HISTORIAL"},
        {"entity missing from the file", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n", FailsAt::FirstRequest, "NCM"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        createSqliteFile(dir.filePath(QStringLiteral("h.db")), kVersionDb);
        writeTextFile(dir.filePath(QStringLiteral("notes.txt")), QStringLiteral("not a database at all"));
        const QString ini = dir.filePath(QStringLiteral("connections.ini"));
        writeTextFile(ini, QString::fromUtf8(c.ini));
        try {
            auto db = openConnectionsFile(ini);
            ASSERT_NE(c.at, FailsAt::Open) << "opened";
            if (c.at == FailsAt::LoadParameters)
                db->LoadParameters();
            else
                db->getDataConnectionByEntity(QStringLiteral("NCM"));
            FAIL() << "no error";
        } catch (const B2DError &e) {
            EXPECT_TRUE(e.description().contains(QLatin1String("connections.ini"))) << e.description().toStdString();
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.named))) << e.description().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nada/ncm.db"))));
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nada"))));
    }

    QTemporaryDir dir;
    try {
        openConnectionsFile(dir.filePath(QStringLiteral("connections.ini")));
        FAIL() << "opened a missing file";
    } catch (const B2DError &e) {
        EXPECT_TRUE(e.description().contains(QLatin1String("connections.ini")));
    }
}

// A group named GENERAL, quoted values, comments, CRLF line ends and a byte order mark are read as
// written.
TEST(ConnectionsFile, ReadsHandWrittenFiles)
{
    QTemporaryDir dir;
    createSqliteFile(dir.filePath(QStringLiteral("general, one.db")), kVersionDb);
    const QString ini = dir.filePath(QStringLiteral("connections.ini"));
    writeTextFile(ini, QStringLiteral("\uFEFF; the databases\r\n[General]\r\n  DRIVER = sqlite \r\n"
                                      "# the file\r\ndatabase=\"general, one.db\"\r\n"));
    auto db = openConnectionsFile(ini);
    db->LoadParameters();
    Connection &c = db->getDataConnectionByEntity(QStringLiteral("GENERAL"));
    c.sql = QStringLiteral("exec versionbd");
    Recordset rs;
    EXPECT_TRUE(c.crearrs(rs)) << c.lastError().toStdString();
}
