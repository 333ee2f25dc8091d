#include "support/DemoRun.h"

#include "values/Values.h"

#include <gtest/gtest.h>

namespace b2d::test {

namespace {

const QDate kDemoDay(2026, 3, 10);

std::unique_ptr<DataAccess> openDemo(const QTemporaryDir &dir, const Workspace &workspace)
{
    workspace.create();
    workspace.loadDemoData(kDemoDay);
    const QString connections = dir.filePath(QStringLiteral("connections.ini"));
    workspace.writeConnectionsFile(connections);
    return openConnectionsFile(connections);
}

}  // namespace

DemoRun::DemoRun()
    : workspace(dir.filePath(QStringLiteral("data"))),
      db(openDemo(dir, workspace)),
      clock(QDateTime(kDemoDay, QTime(9, 30))),
      log(clock, dir.filePath(QStringLiteral("Logs"))),
      rt(*db, boxes, store, log, clock)
{
}

QList<QStringList> DemoRun::read(const QString &entity, const QString &sql)
{
    Connection &c = db->getDataConnectionByEntity(entity);
    c.sql = sql;
    Recordset rs;
    QList<QStringList> out;
    if (!c.crearrs(rs)) {
        EXPECT_TRUE(c.lastError().isEmpty()) << sql.toStdString() << ": " << c.lastError().toStdString();
        return out;
    }
    for (; !rs.EOF_(); rs.MoveNext()) {
        QStringList row;
        for (int i = 0; i < rs.fieldCount(); ++i)
            row << EsNulo(rs.field(i));
        out << row;
    }
    return out;
}

void DemoRun::exec(const QString &entity, const QString &sql)
{
    Connection &c = db->getDataConnectionByEntity(entity);
    c.sql = sql;
    EXPECT_TRUE(c.ejecutar()) << sql.toStdString() << ": " << c.lastError().toStdString();
}

}  // namespace b2d::test
