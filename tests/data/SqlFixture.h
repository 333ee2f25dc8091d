#pragma once

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <gtest/gtest.h>

namespace b2d::test {

// Builds an SQLite file from statements, one statement per entry.
inline void createSqliteFile(const QString &path, const QStringList &statements)
{
    static int counter = 0;
    const QString name = QStringLiteral("fixture-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
        db.transaction();
        for (const QString &s : statements) {
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(s)) << s.toStdString() << ": " << q.lastError().text().toStdString();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

inline void writeTextFile(const QString &path, const QString &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

}  // namespace b2d::test
