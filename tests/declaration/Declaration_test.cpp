#include "support/TestSupport.h"

#include "app/Builders.h"
#include "declaration/Declaration.h"
#include "runtime/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

namespace {

const QString H = QStringLiteral("HISTORIAL");
const QString kEnvelope = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Broker2Dorvane>");

// A generation over a declaration whose header row the databases do not hold: the header and
// items sections stay empty, and the broker reference code is asked as the file name.
struct DriverRun : TestRun {
    explicit DriverRun(const QString &despacho)
    {
        rt.Despacho = despacho;
        out = dir.path() + QStringLiteral("/out/");
        QDir().mkpath(out);
        rt.cfg.PREFIJO = QStringLiteral("AB_");
        rt.cfg.PREFIJOEXPO = QStringLiteral("EX");
        setFolder(out);
    }
    void setFolder(const QString &folder)
    {
        store.save(QStringLiteral("VELMORAB2D"), QStringLiteral("GENERAL"), QStringLiteral("RUTAGENXML"), folder);
    }
    QStringList writes() const { return data.writes(); }
    QStringList files() const { return QDir(out).entryList(QDir::Files | QDir::Hidden); }  // temporaries too
    GenerationReport generate()
    {
        GenerationReport rep;
        EXPECT_EQ(XMLDespacho(rt, declarationBuilders(), &rep), QString());
        EXPECT_FALSE(rt.db.cacheEnabled());
        return rep;
    }
    QString out;
};

}  // namespace

TEST(Declaration, FileNameJoinsPrefixSubregimeCodeReferenceAndTime)
{
    const struct {
        const char *despacho;
        const char *reference;
        const char *name;
    } cases[] = {
        {"19001IC04000123A", "2019/77", "AB__IC04_2019_77_20190305140709"},
        {"19001EC01000045B", "0055_09", "EX_EC01_0055_09_20190305140709"},
        {"19001IC04000123A", "a\\b:c*d?e\"f<g>h|i", "AB__IC04_a_b_c_d_e_f_g_h_i_20190305140709"},
        {"19001IC04000123A", "..\\..\\x", "AB__IC04_.._.._x_20190305140709"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reference);
        TestRun t;
        t.rt.Despacho = QString::fromUtf8(c.despacho);
        t.rt.cfg.PREFIJO = QStringLiteral("AB_");
        t.rt.cfg.PREFIJOEXPO = QStringLiteral("EX");
        EXPECT_EQ(NombreArchivoDespacho(t.rt, QString::fromUtf8(c.reference)), QString::fromUtf8(c.name));
    }
}

TEST(Declaration, WritesTheDocumentAsksForAMissingReferenceAndRecordsIt)
{
    const struct {
        const char *despacho;
        const char *typed;  // the file name the operator types
        const char *kind;
        const char *name;
    } cases[] = {
        {"19001RC01000045B", "0055/09#3", "exportDeclaration", "EX_RC01_0055_09_3_20190305140709"},
        {"19001TC04000123A", "0055/09", "importDeclaration", "AB__TC04__20190305140709"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.despacho);
        DriverRun t(QString::fromUtf8(c.despacho));
        t.rt.cfg.RUTAGENXML = QStringLiteral("/stale/");
        t.data.onContains(H, QStringLiteral("From CARATULA_DOCUMENTOS"),
                          rows({QStringLiteral("REFERENCIA")}, {{QStringLiteral("Tornillos, tuercas & más")}}));
        t.boxes.type(QString::fromUtf8(c.typed));

        const GenerationReport rep = t.generate();
        const QString name = QString::fromUtf8(c.name);
        const QString path = t.out + name + QStringLiteral(".XML");
        EXPECT_EQ(rep.outcome, GenerationReport::Written);
        EXPECT_EQ(rep.fileName, name);
        EXPECT_EQ(rep.path, path);
        EXPECT_EQ(t.rt.cfg.RUTAGENXML, t.out);  // re-read from the store
        EXPECT_EQ(t.rt.subregimen, QString::fromUtf8(c.despacho).mid(5, 1));
        EXPECT_EQ(t.files(), QStringList{name + QStringLiteral(".XML")});

        const QString doc = QString::fromLatin1(test::readFile(path));
        const QString kind = QString::fromUtf8(c.kind);
        EXPECT_TRUE(doc.startsWith(kEnvelope + QLatin1Char('<') + kind + QLatin1Char('>'))) << doc.toStdString();
        EXPECT_TRUE(doc.endsWith(QStringLiteral("</") + kind + QStringLiteral("></Broker2Dorvane>")));
        // Free text keeps its commas; nothing is escaped twice.
        EXPECT_TRUE(doc.contains(QStringLiteral("Tornillos, tuercas &amp; más"))) << doc.toStdString();

        const auto shown = t.boxes.shown();
        ASSERT_GE(shown.size(), 2);
        EXPECT_EQ(shown.first().title, QStringLiteral("Generar Archivo"));
        EXPECT_EQ(shown.last().text, QStringLiteral("El archivo se ha generado,\n Ubicacion: ") + path
                                         + QStringLiteral("\n La informacion esta lista para subirlo a la carpeta FTP de Dorvane"));
        EXPECT_EQ(shown.last().icon, BoxIcon::Information);
        EXPECT_EQ(t.writes(), QStringList{QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = '")
                                          + name + QStringLiteral("' Where Despacho ='") + QString::fromUtf8(c.despacho)
                                          + QStringLiteral("'")});
    }
}

TEST(Declaration, UnsupportedSubregimeEndsTheProgram)
{
    const struct {
        const char *despacho;
        const char *letter;
    } cases[] = {{"19001XC04000123A", "X"}, {"19001", ""}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.despacho);
        DriverRun t(QString::fromUtf8(c.despacho));
        GenerationReport rep;
        EXPECT_THROW(XMLDespacho(t.rt, declarationBuilders(), &rep), ProgramEnd);
        EXPECT_FALSE(t.rt.db.cacheEnabled());
        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        const auto shown = t.boxes.messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].text, QStringLiteral("Tipo de Operacion no soportada por esta version del programa:\nSubReg:")
                                     + QString::fromUtf8(c.letter) + QStringLiteral("\nDespacho:")
                                     + QString::fromUtf8(c.despacho) + QStringLiteral("\n\nLa aplicacion no podra continuar."));
        EXPECT_EQ(shown[0].icon, BoxIcon::Critical);
        EXPECT_TRUE(t.data.calls().isEmpty());
        EXPECT_TRUE(t.files().isEmpty());
    }
}

TEST(Declaration, CancelledHeaderWritesAndRecordsNothing)
{
    DriverRun t(QStringLiteral("19001IC04000123A"));
    // The header row exists; the operator gives up at the first reference code.
    t.data.onContains(H, QStringLiteral("From CARATULA_CARATULA WHERE DESPACHO"),
                      rows({QStringLiteral("DESPACHO"), QStringLiteral("DESTINACION"), QStringLiteral("COD_ADUANA"),
                            QStringLiteral("IDENTIFICADOR_PROPIO")},
                           {{QStringLiteral("19001IC04000123A"), QStringLiteral("IC04"), QStringLiteral("001"), QString()}}));
    t.boxes.type(QString());
    t.boxes.answer(true);

    const GenerationReport rep = t.generate();
    EXPECT_EQ(rep.outcome, GenerationReport::Cancelled);
    EXPECT_TRUE(t.rt.generacionCancelada);
    EXPECT_TRUE(t.files().isEmpty());
    EXPECT_TRUE(t.writes().isEmpty());
    // Only the prompt's own boxes: its cancel question and its error box.
    const auto shown = t.boxes.messages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].buttons, BoxButtons::YesNo);
    EXPECT_TRUE(shown[1].text.startsWith(QStringLiteral("Error -2147220393 (Proceso Cancelado por usuario) en ObtenerBrokerReferenceCode")));
}

// Under REQDIIMPO a process reference code that is no interno stops the generation in the
// header's party builder: its box, and the rest of the header still runs (the currencies record
// their rates); the driver stops before the items, with no file and no processing recorded.
TEST(Declaration, APartyBuilderThatCancelsLetsTheHeaderEnd)
{
    DriverRun t(QStringLiteral("19001IC04000123A"));
    t.rt.cfg.REQDIIMPO = true;
    t.rt.cfg.IGNORARRELACIONMONEDA = true;
    t.rt.cfg.PERMITIRFECHASVACIAS = true;
    t.data.onContains(H, QStringLiteral("From CARATULA_CARATULA WHERE DESPACHO"),
                      rows({"DESPACHO", "DESTINACION", "COD_ADUANA", "IDENTIFICADOR_PROPIO", "FECHA_OFICIALIZACION",
                            "DIVISA_FOB", "DIVISA_FLETE", "DIVISA_SEGURO", "CONDICION_VENTA", "MONTO_FOB",
                            "MONTO_FLETE", "MONTO_SEGURO", "MONTO_CIF", "COTIZACION_PAGOS", "PESO_BRUTO_BULTOS"},
                           {{"19001IC04000123A", "IC04", "001", "BRC1", "2019-03-01", "EUR", "DOL", "DOL", "FOB",
                             1000, 50, 10, 1060, 1.25, 300}}));
    t.data.onContains(H, QStringLiteral("xml_ProcessRC"), rows({QStringLiteral("xml_ProcessRC")}, {{QStringLiteral("PRC77")}}));
    t.data.onContains(H, QStringLiteral("as TipoDeCambio"), rows({QStringLiteral("TipoDeCambio")}, {{1.25}}));

    const GenerationReport rep = t.generate();

    EXPECT_EQ(rep.outcome, GenerationReport::Cancelled);
    EXPECT_TRUE(t.files().isEmpty());
    const auto shown = t.boxes.messages();
    ASSERT_EQ(shown.size(), 1) << t.boxes.texts().join(QStringLiteral("\n--\n")).toStdString();
    EXPECT_EQ(shown[0].title, QStringLiteral("Requerimientos de generacion del DI incompleto."))
        << shown[0].text.toStdString();
    EXPECT_TRUE(t.writes().contains(QStringLiteral(
        "Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) Values('EUR','19001IC04000123A','01.25')")));
    for (const QString &w : t.writes())
        EXPECT_FALSE(w.contains(QLatin1String("Xml_Procesado"))) << w.toStdString();
    EXPECT_TRUE(t.data.statements(H).filter(QStringLiteral("ORDER BY NRO_ITEM")).isEmpty());
}

TEST(Declaration, FailedWriteIsReportedAndNothingIsRecorded)
{
    DriverRun t(QStringLiteral("19001EC01000045B"));
    t.setFolder(t.dir.path() + QStringLiteral("/missing/"));
    t.boxes.type(QStringLiteral("0055/09"));

    const GenerationReport rep = t.generate();
    EXPECT_EQ(rep.outcome, GenerationReport::Failed);
    EXPECT_TRUE(t.writes().isEmpty());
    EXPECT_FALSE(QDir(t.dir.path() + QStringLiteral("/missing")).exists());
    const auto shown = t.boxes.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].text.endsWith(QStringLiteral("\nin procedure XMLDespacho of Módulo Mod_Main - 110")))
        << shown[0].text.toStdString();
}

// The file is recorded before it is put in place: a record the database refuses leaves no file
// and no success message, and a file that cannot be put in place puts the row back.
TEST(Declaration, FileAndRowAgreeWhenTheRecordOrTheRenameFails)
{
    enum class Fault { RecordFails, RecordChangesNoRow, RenameFails };
    const struct {
        const char *name;
        Fault fault;
        const char *box;  // the end of the one box shown after the prompt
    } cases[] = {
        {"record refused", Fault::RecordFails,
         "Error -2147217900 (sin permiso de escritura)\nin procedure Set_Procesado of Módulo Mod_Main - 20"},
        {"record changes no row", Fault::RecordChangesNoRow,
         "Error -2147217900 (No se actualizó ninguna fila de Caratula_Caratula con Despacho 19001EC01000045B)\n"
         "in procedure Set_Procesado of Módulo Mod_Main - 20"},
        {"rename fails", Fault::RenameFails, "\nin procedure XMLDespacho of Módulo Mod_Main - 110"},
    };
    const QString despacho = QStringLiteral("19001EC01000045B");
    const QString name = QStringLiteral("EX_EC01_0055_09_20190305140709");
    const QString record = QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = '")
        + name + QStringLiteral("' Where Despacho ='") + despacho + QStringLiteral("'");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DriverRun t(despacho);
        // An earlier generation of the same operation, whose file stays where it is.
        const QString earlierFile = t.out + QStringLiteral("EX_EC01_0055_09_20190301090000.XML");
        QFile f(earlierFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier");
        f.close();
        t.data.onExact(H, QStringLiteral("Select Xml_Procesado, Xml_B2DFile, Xml_Enviado From Caratula_Caratula Where Despacho ='")
                              + despacho + QStringLiteral("'"),
                       rows({QStringLiteral("Xml_Procesado"), QStringLiteral("Xml_B2DFile"), QStringLiteral("Xml_Enviado")},
                            {{QStringLiteral("2019-03-01"), QStringLiteral("EX_EC01_0055_09_20190301090000"), QVariant()}}));
        switch (c.fault) {
        case Fault::RecordFails:
            t.data.failOn(H, QStringLiteral("Set Xml_Procesado = {d"), QStringLiteral("sin permiso de escritura"));
            break;
        case Fault::RecordChangesNoRow:
            t.data.changesNoRow(H, QStringLiteral("Set Xml_Procesado = {d"));
            break;
        case Fault::RenameFails:
            // A folder appears where the file should go, after the record.
            t.data.whenRun(H, QStringLiteral("Set Xml_Procesado = {d"),
                           [&] { QDir(t.out).mkdir(name + QStringLiteral(".XML")); });
            break;
        }
        t.boxes.type(QStringLiteral("0055/09"));

        const GenerationReport rep = t.generate();
        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        EXPECT_TRUE(rep.path.isEmpty());
        QStringList files = t.files();
        files.removeOne(QFileInfo(earlierFile).fileName());
        EXPECT_TRUE(files.isEmpty()) << files.join(QLatin1Char(' ')).toStdString();  // no temporary either
        EXPECT_EQ(test::readFile(earlierFile), QByteArray("earlier"));
        QStringList writes{record};
        if (c.fault == Fault::RenameFails)
            writes << QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = '2019-03-01' "
                                     ",Xml_B2DFile = 'EX_EC01_0055_09_20190301090000' Where Despacho ='")
                    + despacho + QStringLiteral("'");
        EXPECT_EQ(t.writes(), writes);
        // The prompt, then one error box; never the success message.
        const auto shown = t.boxes.messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
        EXPECT_TRUE(shown[0].text.endsWith(QString::fromUtf8(c.box))) << shown[0].text.toStdString();
    }
}

TEST(Declaration, BuilderFailureIsReportedWithItsChainedSource)
{
    DriverRun t(QStringLiteral("19001IC04000123A"));
    // A header row without the columns the header reads: the header raises its failure again.
    t.data.onContains(H, QStringLiteral("From CARATULA_CARATULA WHERE DESPACHO"),
                      rows({QStringLiteral("OTRA")}, {{1}}));

    const GenerationReport rep = t.generate();
    EXPECT_EQ(rep.outcome, GenerationReport::Failed);
    EXPECT_TRUE(t.files().isEmpty());
    EXPECT_TRUE(t.writes().isEmpty());
    const auto shown = t.boxes.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
    const QStringList parts = shown[0].text.split(QLatin1Char('\n'));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_FALSE(parts[0].isEmpty());
    EXPECT_TRUE(parts[1].startsWith(QStringLiteral("-2147220393XMLDespacho linea 40::GetCaratulaInfo linea ")))
        << parts[1].toStdString();
}

// A statement the database refuses ends the generation wherever it comes: the builders do not
// carry on with an empty answer, nothing is written or recorded, and the one box is the standard
// error box of the driver with the database's text.
TEST(Declaration, ARefusedStatementEndsTheGeneration)
{
    const struct {
        const char *name;
        const char *fragment;
        int line;
    } cases[] = {
        {"header read", "From CARATULA_CARATULA WHERE DESPACHO", 40},
        {"invoices read", "From CARATULA_DOCUMENTOS", 60},
        {"row state read before the record", "Select Xml_Procesado", 110},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DriverRun t(QStringLiteral("19001EC01000045B"));
        t.data.failOn(H, QString::fromUtf8(c.fragment), QStringLiteral("Invalid object name 'X'."));
        t.boxes.type(QStringLiteral("0055/09"));

        const GenerationReport rep = t.generate();
        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        EXPECT_TRUE(t.files().isEmpty()) << t.files().join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(t.writes().isEmpty());
        EXPECT_FALSE(t.rt.db.inGeneration());
        const auto shown = t.boxes.messages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0].icon, BoxIcon::Warning);
        EXPECT_EQ(shown[0].text, QStringLiteral("Error -2147217900 (Invalid object name 'X'.)\n"
                                                "in procedure XMLDespacho of Módulo Mod_Main - ")
                                     + QString::number(c.line))
            << shown[0].text.toStdString();
    }
}

TEST(Declaration, AfterADroppedConnectionTheNextGenerationSucceeds)
{
    DriverRun t(QStringLiteral("19001EC01000045B"));
    t.data.dropConnectionOn(H, QStringLiteral("From CARATULA_CARATULA WHERE DESPACHO"),
                            QStringLiteral("Communication link failure"));
    t.boxes.type(QStringLiteral("0055/09"));
    EXPECT_EQ(t.generate().outcome, GenerationReport::Failed);
    EXPECT_TRUE(t.files().isEmpty());
    EXPECT_TRUE(t.writes().isEmpty());
    ASSERT_EQ(t.boxes.messages().size(), 1);
    EXPECT_TRUE(t.boxes.messages()[0].text.startsWith(QStringLiteral("Error -2147217900 (Communication link failure)")));

    t.boxes.type(QStringLiteral("0055/09"));
    const GenerationReport rep = t.generate();
    EXPECT_EQ(rep.outcome, GenerationReport::Written);
    EXPECT_EQ(t.files(), QStringList{rep.fileName + QStringLiteral(".XML")});
    EXPECT_EQ(t.writes().size(), 1);
    EXPECT_EQ(t.rt.db.reconnections(), 1);
}
