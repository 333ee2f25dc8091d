#pragma once

// The demo workspace as `make demo` uses it: created by the command line in a temporary folder,
// its operations generated with the demo's answers, and the generated documents read back item
// by item.

#include "cli/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

namespace b2d::test {

inline int runCli(const QStringList &arguments, QString &err)
{
    QString out;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    QString none;
    QTextStream in(&none, QIODevice::ReadOnly);
    cli::Streams io{outStream, errStream, &in};
    return cli::runCommandLine(arguments, io, QStringLiteral("velmorab2d-cli"), QDate::currentDate());
}

struct DemoCliRun {
    // Creates the demo workspace; `status` is the command's exit status.
    DemoCliRun() : demo(dir.filePath(QStringLiteral("demo")))
    {
        status = runCli({QStringLiteral("demo"), demo}, err);
    }

    // Runs a command on the demo's connections and settings; `options` go before the command.
    int run(const QStringList &command, const QStringList &options = {})
    {
        return runCli(QStringList{QStringLiteral("--connections"), demo + QStringLiteral("/connections.ini"),
                                  QStringLiteral("--settings"), demo + QStringLiteral("/settings.ini")}
                          + options + command,
                      err);
    }

    // Generates the operations with the demo's answers, then `extra` (more answers). Returns the
    // exit status.
    int generate(const QStringList &numbers, const QStringList &extra = {}, const QStringList &options = {})
    {
        return run(QStringList{QStringLiteral("generate")} + numbers
                       + QStringList{QStringLiteral("--answers"), demo + QStringLiteral("/answers.ini")} + extra,
                   options);
    }

    // The generated files, by name.
    QStringList outFiles() const
    {
        return QDir(demo + QStringLiteral("/out")).entryList(QDir::Files, QDir::Name);
    }
    QString outPath(const QString &name) const { return demo + QStringLiteral("/out/") + name; }

    QTemporaryDir dir;
    QString demo;
    QString err;
    int status = 0;
};

// The children of each declarationItem of a document, by tag, in document order. `error`
// receives the parser's complaint when the document is not well-formed.
inline QList<QStringList> itemChildren(const QString &path, QString &error)
{
    QList<QStringList> items;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open ") + path;
        return items;
    }
    QXmlStreamReader xml(&file);
    int depthInItem = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("declarationItem") && depthInItem == 0) {
                items.append(QStringList());
                depthInItem = 1;
                continue;
            }
            if (depthInItem == 1)
                items.last() << xml.name().toString();
            if (depthInItem > 0)
                ++depthInItem;
        } else if (xml.isEndElement() && depthInItem > 0) {
            --depthInItem;
        }
    }
    if (xml.hasError())
        error = xml.errorString();
    return items;
}

// The place of an item's child in the item; -1 for an element an item never holds. The parties
// of several article lines are written as declarationEntity inside the item.
inline int itemChildRank(const QString &tag)
{
    static const QStringList order = {
        QStringLiteral("declarationItemSequenceNumber"), QStringLiteral("declarationItemHTS"),
        QStringLiteral("declarationItemHTSDescription"), QStringLiteral("declarationItemStatisticalQuantity"),
        QStringLiteral("declarationItemStatisticalUnity"), QStringLiteral("declarationItemIncoterm"),
        QStringLiteral("declarationItemCurrency"), QStringLiteral("declarationItemFOBValue"),
        QStringLiteral("declarationItemExpense"), QStringLiteral("declarationItemCIFValue"),
        QStringLiteral("declarationItemCustomsValue"), QStringLiteral("declarationItemDuty"),
        QStringLiteral("declarationItemNetWeight"), QStringLiteral("declarationItemGrossWeight"),
        QStringLiteral("declarationItemProduct"), QStringLiteral("declarationItemEntity"),
        QStringLiteral("declarationItemFlexField")};
    if (tag == QLatin1String("declarationEntity"))
        return int(order.indexOf(QStringLiteral("declarationItemEntity")));
    return int(order.indexOf(tag));
}

}  // namespace b2d::test
