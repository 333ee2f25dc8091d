// `validate` on the command line: what it prints and its exit statuses.

#include "cli/CommandLine.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A golden document written out as the program writes it, in `dir`.
QString goldenDocumentFile(const QTemporaryDir &dir, const char *name)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    const QByteArray document = b2d::test::readGolden(name);
    return f.open(QIODevice::WriteOnly) && f.write(document) == document.size() ? path : QString();
}

struct ValidateRun {
    int status = -1;
    QString out, err;
};

ValidateRun validate(const QStringList &files)
{
    ValidateRun r;
    QTextStream out(&r.out), err(&r.err);
    b2d::cli::Streams io{out, err, nullptr};
    r.status = b2d::cli::runCommandLine(QStringList{u"validate"_s} + files, io, u"velmorab2d-cli"_s,
                                        QDate(2026, 3, 10));
    return r;
}

}  // namespace

TEST(ValidateCommand, ExitStatusSaysAllValidAnyInvalidOrUnreadable)
{
    QTemporaryDir dir;
    const QString import = goldenDocumentFile(dir, "import.xml"), exportDoc = goldenDocumentFile(dir, "export.xml"),
                  licence = goldenDocumentFile(dir, "licence.xml");
    QByteArray swapped = b2d::test::readGolden("licence.xml");
    swapped.replace("<requestType>D</requestType><licenseNumber>", "<licenseNumber>");
    swapped.replace("</licenseNumber>", "</licenseNumber><requestType>D</requestType>");
    const QString invalid = dir.filePath(u"swapped.xml"_s);
    QFile out(invalid);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(swapped) == swapped.size());
    out.close();
    const qsizetype column = swapped.indexOf("<licenseNumber>") + 1;

    struct Case {
        const char *what;
        QStringList files;
        int status;
        QString out;  // the whole standard output
        QString err;  // a piece of the error stream ("" for none)
    };
    const QString missing = dir.filePath(u"missing.xml"_s);
    const Case cases[] = {
        {"all valid", {import, exportDoc, licence}, 0,
         import + u": valid\n"_s + exportDoc + u": valid\n"_s + licence + u": valid\n"_s, {}},
        {"one invalid", {import, invalid}, 4,
         import + u": valid\n"_s + invalid + u":1:%1: /Broker2Dorvane/importLicense/licenseNumber: "
                                              "Element 'licenseNumber': This element is not expected. "
                                              "Expected is ( requestType ).\n"_s.arg(column),
         {}},
        {"one unreadable", {missing, invalid}, 1, {}, u"cannot read "_s + missing},
        {"no file", {}, 1, {}, u"validate needs at least one file"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ValidateRun r = validate(c.files);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (c.status != 1) {
            EXPECT_EQ(r.out, c.out);
        }
        if (c.err.isEmpty()) {
            EXPECT_EQ(r.err, QString());
        } else {
            EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        }
    }
}
