#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

namespace b2d::test {

TestRun::TestRun()
    : clock(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 9))),
      log(clock, dir.path() + QStringLiteral("/Logs")),
      rt(data.db(), boxes, store, log, clock)
{
}

QString TestRun::logText() const
{
    QString all;
    const QDir d(dir.path() + QStringLiteral("/Logs"));
    for (const QString &f : d.entryList(QDir::Files, QDir::Name))
        all += QString::fromLatin1(readFile(d.filePath(f)));
    return all;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray goldenDocument(const QByteArray &stored)
{
    QByteArray document;
    document.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const bool betweenTags = stored[i] == '\n' && i > 0 && stored[i - 1] == '>'
            && (i + 1 == stored.size() || stored[i + 1] == '<');
        if (!betweenTags)
            document += stored[i];
    }
    return document;
}

namespace {

// Runs `body` on a connection of its own to an SQLite file.
template <typename F>
void onSqlite(const QString &file, F &&body)
{
    const QString name = QStringLiteral("test-direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery q(db);
            body(q);
        } else {
            ADD_FAILURE() << "cannot open " << file.toStdString();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

// The tables of an open SQLite database, by name.
QStringList tableNames(QSqlQuery &q)
{
    QStringList tables;
    q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    while (q.next())
        tables << q.value(0).toString();
    return tables;
}

}  // namespace

void execSqlite(const QString &file, const QString &sql)
{
    onSqlite(file, [&](QSqlQuery &q) {
        EXPECT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
    });
}

QVariant querySqlite(const QString &file, const QString &sql)
{
    QVariant value;
    onSqlite(file, [&](QSqlQuery &q) {
        if (q.exec(sql) && q.next())
            value = q.value(0);
    });
    return value;
}

QStringList dumpSqlite(const QString &file)
{
    QStringList lines;
    onSqlite(file, [&](QSqlQuery &q) {
        for (const QString &table : tableNames(q)) {
            q.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
            while (q.next()) {
                QStringList values;
                for (int c = 0; c < q.record().count(); ++c)
                    values << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
                lines << table + QLatin1Char(':') + values.join(QLatin1Char('|'));
            }
        }
    });
    return lines;
}

void setColumnsSqlite(const QString &file,
                      const std::function<QVariant(const QString &, const QString &, const QString &, bool)> &valueFor)
{
    onSqlite(file, [&](QSqlQuery &q) {
        for (const QString &table : tableNames(q)) {
            QStringList assignments;
            QVariantList values;
            q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            while (q.next()) {
                if (q.value(5).toInt() > 0)
                    continue;  // a primary key keeps its rows apart
                const QString column = q.value(1).toString();
                const QVariant value = valueFor(table, column, q.value(2).toString().toUpper(), q.value(3).toBool());
                if (!value.isValid())
                    continue;
                assignments << QStringLiteral("\"%1\" = ?").arg(column);
                values << value;
            }
            if (assignments.isEmpty())
                continue;
            const QString sql = QStringLiteral("UPDATE \"%1\" SET %2").arg(table, assignments.join(QStringLiteral(", ")));
            q.prepare(sql);
            for (const QVariant &v : values)
                q.addBindValue(v);
            EXPECT_TRUE(q.exec()) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        }
    });
}

}  // namespace b2d::test
