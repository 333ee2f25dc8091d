#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

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

}  // namespace b2d::test
