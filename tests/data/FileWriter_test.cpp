#include "data/FileWriter.h"
#include "data/SuffixSorter.h"

#include "runtime/Errors.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::readFile;

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(FileWriter, Latin1WithCharacterReferences)
{
    struct Case {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {QStringLiteral("é"), QByteArray("\xE9")},
        {QStringLiteral("<a>Ñandú, 1,5</a>"), QByteArray("<a>\xD1" "and\xFA, 1,5</a>")},
        {QStringLiteral("10 €"), QByteArray("10 &#8364;")},
        {QString::fromUtf8("\xF0\x9F\x98\x80"), QByteArray("&#128512;")},  // one reference per pair
        {QString(QChar(0xD800)) + QLatin1Char('x'), QByteArray("&#65533;x")},
        {QStringLiteral("\xFF\u0100"), QByteArray("\xFF&#256;")},
        {QStringLiteral("a€b€€") + QChar(0xDC00), QByteArray("a&#8364;b&#8364;&#8364;&#65533;")},
        {QString(), QByteArray()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(toLatin1WithReferences(c.text), c.bytes);
    }
}

TEST(FileWriter, WritesTheWholeTextAndLeavesNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("B2D_1.xml"));
    writeBytes(path, "old contents that are longer");
    {
        FileWriter w;
        w.ubicacion_archivo = path;
        w.crear_archivo();
        w.escribir(QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>é €</a>"));
        // Until it is closed, readers still see the previous file.
        EXPECT_EQ(readFile(path), QByteArray("old contents that are longer"));
        w.cerrar_archivo();
    }
    EXPECT_EQ(readFile(path),
              QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9 &#8364;</a>"));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("B2D_1.xml")});
}

TEST(FileWriter, AbandonedFileLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("B2D_2.xml"));
    {
        FileWriter w;
        w.ubicacion_archivo = path;
        w.crear_archivo();
        w.escribir(QStringLiteral("half"));
    }
    EXPECT_TRUE(entries(dir.path()).isEmpty());
}

TEST(FileWriter, FailuresNameThePathAndLeaveNothing)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/B2D.xml"));
    FileWriter w;
    w.ubicacion_archivo = missing;
    try {
        w.crear_archivo();
        FAIL() << "no error for a missing folder";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::PathNotFound);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Path not found")));
        EXPECT_TRUE(e.description().contains(QDir::toNativeSeparators(missing)));
    }
    EXPECT_THROW(w.escribir(QStringLiteral("x")), B2DError);
    EXPECT_TRUE(entries(dir.path()).isEmpty());

    try {
        writeFileAtomically(missing, "x");
        FAIL() << "no error for a missing folder";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::PathNotFound);
    }
    // A folder where the file should be.
    QDir(dir.path()).mkdir(QStringLiteral("taken.xml"));
    EXPECT_THROW(writeFileAtomically(dir.filePath(QStringLiteral("taken.xml")), "x"), B2DError);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("taken.xml")});
    EXPECT_TRUE(entries(dir.filePath(QStringLiteral("taken.xml"))).isEmpty());
}

TEST(FileWriter, CopyReplacesTheTargetOnClose)
{
    QTemporaryDir from, to;
    const QString source = from.filePath(QStringLiteral("B2D.XML"));
    const QString target = to.filePath(QStringLiteral("B2D.XML"));
    QByteArray big(200000, 'a');
    big.append("\xE9 end");
    writeBytes(source, big);
    writeBytes(target, "previous");
    {
        FileWriter w;
        w.ubicacion_archivo = target;
        w.crear_archivo();
        w.copiar_archivo(source);
        EXPECT_EQ(readFile(target), QByteArray("previous"));
        w.cerrar_archivo();
    }
    EXPECT_EQ(readFile(target), big);
    EXPECT_EQ(entries(to.path()), QStringList{QStringLiteral("B2D.XML")});

    FileWriter gone;
    gone.ubicacion_archivo = target;
    gone.crear_archivo();
    try {
        gone.copiar_archivo(from.filePath(QStringLiteral("gone.xml")));
        FAIL() << "no error for a missing source";
    } catch (const B2DError &e) {
        EXPECT_EQ(e.number(), ErrNo::FileNotFound);
        EXPECT_TRUE(e.description().contains(QStringLiteral("gone.xml")));
    }
    gone.descartar_archivo();
    EXPECT_FALSE(gone.staged());
    EXPECT_EQ(readFile(target), big);
    EXPECT_EQ(entries(to.path()), QStringList{QStringLiteral("B2D.XML")});
}

// The file is put in place only after its record was taken; a refused record leaves the folder as
// it was, and a rename that fails after the record undoes the record.
TEST(FileWriter, PlacedOnlyWhenRecorded)
{
    enum class Rename { Works, Fails };
    const struct {
        const char *name;
        bool recorded;
        Rename rename;
        Placement placement;  // when nothing is thrown
        bool throws;
        const char *content;  // what the path holds afterwards
        bool undone;
    } cases[] = {
        {"recorded and placed", true, Rename::Works, Placement::Placed, false, "new", false},
        {"record refused", false, Rename::Works, Placement::Refused, false, "old", false},
        {"rename fails after the record", true, Rename::Fails, Placement::Placed, true, "", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("B2D.XML"));
        if (c.rename == Rename::Works)
            writeBytes(path, "old");
        FileWriter w;
        w.ubicacion_archivo = path;
        w.crear_archivo();
        w.escribir(QStringLiteral("new"));
        QStringList order;
        const auto record = [&] {
            order << QStringLiteral("record");
            EXPECT_EQ(readFile(path), c.rename == Rename::Works ? QByteArray("old") : QByteArray());
            if (c.rename == Rename::Fails)
                QDir(dir.path()).mkdir(QStringLiteral("B2D.XML"));  // the rename cannot replace a folder
            return c.recorded;
        };
        const auto undo = [&] { order << QStringLiteral("undo"); };
        bool threw = false;
        try {
            EXPECT_EQ(placeWhenRecorded(w, record, undo), c.placement);
        } catch (const B2DError &e) {
            threw = true;
            EXPECT_TRUE(e.description().contains(QDir::toNativeSeparators(path))) << e.description().toStdString();
        }
        EXPECT_EQ(threw, c.throws);
        const QStringList expected = c.undone ? QStringList{QStringLiteral("record"), QStringLiteral("undo")}
                                              : QStringList{QStringLiteral("record")};
        EXPECT_EQ(order, expected);
        EXPECT_FALSE(w.staged());
        EXPECT_EQ(readFile(path), QByteArray(c.content));
        // No temporary is left beside the file.
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("B2D.XML")});
    }
}

TEST(SuffixSorter, OrdersByCodeThenValue)
{
    struct Case {
        const char *in;
        const char *out;
    } cases[] = {
        {"ZZ(1) AA(XX)", "AA(XX) ZZ(1)"},
        {"  BB(2);AA(9),BB(1)  ", "AA(9) BB(1) BB(2)"},
        {"AB(UNO, DOS) AA", "AA AB(UNO, DOS)"},
        {"AA(1) AA", "AA AA(1)"},
        {"AA (1)", "AA(1)"},
        {"ZZ , ZZ", "ZZ ZZ"},
        {"A1(X) A(Y)", "A(Y) A1(X)"},
        {"", ""},
        {"  ; ,  ", "; ,"},
        {"  (SIN CODIGO) ", "(SIN CODIGO)"},
        {" AA) B ", "AA) B"},
        {"B A(1", "A(1) B"},
        {"B A((1) ", "A((1)) B"},
        {"B A(1(2 ", "B A(1(2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(ordenarsufijos(QString::fromUtf8(c.in)).toStdString(), c.out);
    }
}
