#include "data/DataAccess.h"

#include "data/SqlFixture.h"
#include "runtime/Errors.h"

#include <QDir>
#include <QFile>
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

enum class FailsAt { Open, FirstRequest };

}  // namespace

// Each error of the connections file has its own message, naming the file and what is wrong
// (%F is the file, %D its folder).
TEST(ConnectionsFile, EachErrorHasItsOwnMessage)
{
    struct Case {
        const char *what;
        QByteArray ini;
        FailsAt at;
        const char *message;
    };
    const Case cases[] = {
        {"unknown driver", "[HISTORIAL]\ndriver=mysql\ndatabase=h.db\n", FailsAt::Open,
         "Entidad HISTORIAL del archivo de conexiones %F: driver \"mysql\" desconocido (sqlite u odbc)"},
        {"no driver", "[HISTORIAL]\ndatabase=h.db\n", FailsAt::Open,
         "Entidad HISTORIAL del archivo de conexiones %F: falta driver= (sqlite u odbc)"},
        {"sqlite group without database", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n[INTERNOS]\ndriver=sqlite\n",
         FailsAt::Open, "Entidad INTERNOS del archivo de conexiones %F: falta database="},
        {"sqlite file that does not exist", "[NCM]\ndriver=sqlite\ndatabase=nada/ncm.db\n", FailsAt::Open,
         "Entidad NCM del archivo de conexiones %F: no existe la base de datos %D/nada/ncm.db"},
        {"odbc group without connection", "[NCM]\ndriver=odbc\n", FailsAt::Open,
         "Entidad NCM del archivo de conexiones %F: falta connection="},
        {"unknown dialect", "[NCM]\ndriver=odbc\nconnection=DSN=x\ndialect=oracle\n", FailsAt::Open,
         "Entidad NCM del archivo de conexiones %F: dialect \"oracle\" desconocido (tsql o sqlite)"},
        {"sqlite with another dialect", "[NCM]\ndriver=sqlite\ndatabase=h.db\ndialect=tsql\n", FailsAt::Open,
         "Entidad NCM del archivo de conexiones %F: el driver sqlite no admite dialect=tsql"},
        {"unknown working_set", "[NCM]\ndriver=sqlite\ndatabase=h.db\nworking_set=maybe\n", FailsAt::Open,
         "Entidad NCM del archivo de conexiones %F: working_set \"maybe\" desconocido (on u off)"},
        {"unknown working_set for the whole file", "working_set=quizas\n[NCM]\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 1: working_set \"quizas\" desconocido (on u off)"},
        {"key outside a group", "\ndriver=sqlite\n[HISTORIAL]\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 2: clave fuera de una entidad"},
        {"missing ]", "[HISTORIAL\ndriver=sqlite\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 1: falta ']' en el nombre de la entidad"},
        {"group without a name", "; entities\n[ ]\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 2: entidad sin nombre"},
        {"line without =", "[HISTORIAL]\ndriver=sqlite\ndatabase h.db\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 3: se espera [ENTIDAD] o clave=valor"},
        {"group given twice", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n\n[historial]\ndriver=odbc\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 5: el grupo [historial] ya figura en la línea 1"},
        {"reserved group given twice", "[CALDRA]\nexecutable=a.exe\n[Caldra]\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 3: el grupo [Caldra] ya figura en la línea 1"},
        {"bytes that are not UTF-8", "[HISTORIAL]\ndriver=sqlite\ndatabase=h\xE9.db\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 3: bytes que no son UTF-8 en el grupo [HISTORIAL]"},
        {"bytes that are not UTF-8 before any group", "; conexi\xF3n\n[HISTORIAL]\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 1: bytes que no son UTF-8, antes de todo grupo"},
        {"empty executable", "[CALDRA]\nexecutable=\n", FailsAt::Open,
         "Archivo de conexiones %F, línea 2: executable= vacío en el grupo [CALDRA]"},
        {"entity missing from the file", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n", FailsAt::FirstRequest,
         "La entidad NCM no figura en el archivo de conexiones %F"},
        {"a reserved group is no entity", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n[update]\nurl=x\n",
         FailsAt::FirstRequest, "La entidad UPDATE no figura en el archivo de conexiones %F"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        createSqliteFile(dir.filePath(QStringLiteral("h.db")), kVersionDb);
        const QString ini = dir.filePath(QStringLiteral("connections.ini"));
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.ini);
        f.close();
        const QString expected = QString::fromUtf8(c.message)
                                     .replace(QStringLiteral("%F"), QDir::toNativeSeparators(ini))
                                     .replace(QStringLiteral("%D"), QDir::toNativeSeparators(dir.path()));
        try {
            auto db = openConnectionsFile(ini);
            ASSERT_NE(c.at, FailsAt::Open) << "opened";
            db->getDataConnectionByEntity(QString::fromUtf8(c.message).section(QLatin1Char(' '), 2, 2));
            FAIL() << "no error";
        } catch (const B2DError &e) {
            EXPECT_EQ(e.description(), expected);
        }
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nada"))));
    }

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("connections.ini"));
    try {
        openConnectionsFile(missing);
        FAIL() << "opened a missing file";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.description(), QStringLiteral("No se encuentra el archivo de conexiones ")
                                       + QDir::toNativeSeparators(missing));
    }
}

// A file that is not a database is found when the entities are opened at start-up.
TEST(ConnectionsFile, AFileThatIsNotADatabaseFailsAtStartUp)
{
    QTemporaryDir dir;
    writeTextFile(dir.filePath(QStringLiteral("notes.txt")), QStringLiteral("not a database at all"));
    const QString ini = dir.filePath(QStringLiteral("connections.ini"));
    writeTextFile(ini, QStringLiteral("[HISTORIAL]\ndriver=sqlite\ndatabase=notes.txt\n"));
    auto db = openConnectionsFile(ini);
    try {
        db->LoadParameters();
        FAIL() << "no error";
    } catch (const B2DError &e) {
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Entidad HISTORIAL del archivo de conexiones ")
                                               + QDir::toNativeSeparators(ini)
                                               + QStringLiteral(": no se pudo abrir la base de datos: ")))
            << e.description().toStdString();
    }
}

// [CALDRA] names the executable relative to the file; [update] belongs to the update check. Both
// stand beside the entities without becoming entities.
TEST(ConnectionsFile, ReservedGroupsAreReadBesideTheEntities)
{
    const struct {
        const char *name;
        const char *ini;
        const char *executable;  // relative to the folder; "" none, "/..." absolute
    } cases[] = {
        {"both groups", "[CALDRA]\nexecutable=bin/caldra.exe\n[update]\nurl=http://example.invalid/\n"
                        "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n", "bin/caldra.exe"},
        {"any case, quoted, after the entities", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n[Caldra]\n"
                                                 "Executable=\"../x/caldra.exe\"\n[UPDATE]\n", "../x/caldra.exe"},
        {"absolute", "[CALDRA]\nexecutable=/opt/caldra/caldra.exe\n[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n",
         "/opt/caldra/caldra.exe"},
        {"none", "[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n", ""},
        {"group without the key", "[CALDRA]\n; nothing yet\n[HISTORIAL]\ndriver=sqlite\ndatabase=h.db\n", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        createSqliteFile(dir.filePath(QStringLiteral("h.db")), kVersionDb);
        const QString ini = dir.filePath(QStringLiteral("connections.ini"));
        writeTextFile(ini, QString::fromUtf8(c.ini));
        QString executable = QStringLiteral("unset");
        auto db = openConnectionsFile(ini, &executable);
        db->LoadParameters();  // opens every entity: the reserved groups are none
        const QString named = QString::fromUtf8(c.executable);
        EXPECT_EQ(executable, named.isEmpty()         ? QString()
                              : named.startsWith('/') ? named
                                                      : QDir::cleanPath(dir.filePath(named)));
        Connection &h = db->getDataConnectionByEntity(QStringLiteral("HISTORIAL"));
        h.sql = QStringLiteral("exec versionbd");
        Recordset rs;
        EXPECT_TRUE(h.crearrs(rs)) << h.lastError().toStdString();
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
