#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
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

}  // namespace b2d::test
