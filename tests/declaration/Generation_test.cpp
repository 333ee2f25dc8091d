// The drivers' shared last step: a finished document is written and recorded only when it is
// well-formed XML; one that is not is reported in the driver's box, and neither a file nor a
// record is left.

#include "declaration/Declaration.h"
#include "declaration/Generation.h"
#include "support/DemoRun.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Generation, OnlyAWellFormedDocumentIsWrittenAndRecorded)
{
    const QString head = u"<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Broker2Dorvane><importDeclaration>"_s;
    const QString tail = u"</importDeclaration></Broker2Dorvane>"_s;
    const QString error = u"Error -2147220393 (El documento generado no es un XML valido, no se escribio el "
                          "archivo: not well-formed: %1 (columna %2, %3))\nin procedure XMLDespacho of "
                          "Módulo Mod_Main - 110"_s;
    struct Case {
        const char *what;
        QString document;
        QString box;  // the one box shown
    };
    // A text longer than the pieces the reader is handed at a time (64 KiB), and where a fault
    // after it lies.
    const QString longText = u"<declarationItem>"_s + QString(200000, u'x') + u"</declarationItem>"_s;
    const int afterLong = int(head.size() + longText.size());
    const Case cases[] = {
        {"well-formed, longer than a piece", head + longText + u"<declarationNumber>1</declarationNumber>"_s + tail,
         u"El archivo se ha generado,\n Ubicacion: %1\n La informacion esta lista para subirlo a la carpeta "
         "FTP de Dorvane"_s},
        {"a control character past the first pieces",
         head + longText + u"<declarationNumber>26\u0001</declarationNumber>"_s + tail,
         error.arg(u"Unexpected ''."_s).arg(afterLong + 22).arg(u"/Broker2Dorvane/importDeclaration/declarationNumber"_s)},
        {"an element left open after a long text", head + longText + u"</Broker2Dorvane>"_s,
         error.arg(u"Opening and ending tag mismatch."_s).arg(afterLong + 1).arg(u"/Broker2Dorvane/importDeclaration"_s)},
        {"well-formed, with a character Latin-1 lacks", head + u"<declarationNumber>\u20AC</declarationNumber>"_s + tail,
         u"El archivo se ha generado,\n Ubicacion: %1\n La informacion esta lista para subirlo a la carpeta "
         "FTP de Dorvane"_s},
        {"an element left open", head + u"</Broker2Dorvane>"_s,
         error.arg(u"Opening and ending tag mismatch."_s).arg(79).arg(u"/Broker2Dorvane/importDeclaration"_s)},
        {"a control character", head + u"<declarationNumber>26\u0001</declarationNumber>"_s + tail,
         error.arg(u"Unexpected ''."_s).arg(100).arg(
             u"/Broker2Dorvane/importDeclaration/declarationNumber"_s)},
        {"text after the root", head + tail + u"<x/>"_s,
         error.arg(u"Extra content at end of document."_s).arg(116).arg(u"/x"_s)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        b2d::test::DemoRun run;
        const QString out = run.dir.filePath(u"out"_s);
        ASSERT_TRUE(QDir().mkpath(out));
        run.rt.cfg.RUTAGENXML = out;
        run.rt.Despacho = u"26001IC04000123A"_s;
        const QString recorded = u"Select Xml_Procesado, Xml_B2DFile From CARATULA_CARATULA Where DESPACHO = "
                                 "'26001IC04000123A'"_s;
        const QList<QStringList> before = run.read(u"HISTORIAL"_s, recorded);

        b2d::GenerationReport rep;
        b2d::writeAndRecord(run.rt, c.document, u"DVNI_IC04_X_20260310093000"_s, u"El archivo se ha generado,"_s,
                            u"XMLDespacho"_s, u"Mod_Main"_s, 110, rep);

        const QString path = out + u"/DVNI_IC04_X_20260310093000.XML"_s;
        const bool written = c.box.startsWith(u"El archivo"_s);
        ASSERT_EQ(run.boxes.messages().size(), 1);
        EXPECT_EQ(run.boxes.messages().first().text.toStdString(), (written ? c.box.arg(path) : c.box).toStdString());
        EXPECT_EQ(rep.outcome, written ? b2d::GenerationReport::Written : b2d::GenerationReport::Failed);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), written ? QStringList{QFileInfo(path).fileName()}
                                                                            : QStringList());
        const QList<QStringList> recordedNow{{u"2026-03-10"_s, u"DVNI_IC04_X_20260310093000"_s}};
        EXPECT_EQ(run.read(u"HISTORIAL"_s, recorded), written ? recordedNow : before);
    }
}
