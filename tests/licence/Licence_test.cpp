// The licence driver, its header and its parties, over the recording data component.

#include "licence/LicenceRun.h"

#include "declaration/Declaration.h"
#include "licence/Licence.h"
#include "licence/LicenceEntities.h"

#include <functional>

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::LicenceRun;
using b2d::test::element;
using b2d::test::elements;

namespace {

const QString kEnvelope = QStringLiteral("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><Broker2Dorvane><importLicense>");
const QString kClose = QStringLiteral("</importLicense></Broker2Dorvane>");
const QString kFlex = QStringLiteral("<flexFieldName></flexFieldName><flexFieldValue></flexFieldValue>");

QString body(LicenceRun &t, QString *brokerRC = nullptr, bool *failed = nullptr)
{
    QString fob, flete, seguro, condicion, broker;
    const QString out = DJAI_GetImportLicence(t.rt, fob, flete, seguro, condicion, broker, failed);
    if (brokerRC)
        *brokerRC = broker;
    return out;
}

bool recorded(const LicenceRun &t)
{
    for (const QString &w : t.writes())
        if (w.contains(QLatin1String("Xml_Procesado")))
            return true;
    return false;
}

}  // namespace

TEST(Licence, FileNameKeepsTheLicenceRulesAndIsSafe)
{
    const struct {
        const char *reference;
        const char *name;
    } cases[] = {
        {"2013/455", "XY_DJAI_2013_455_20130507090501"},
        {"0055-09#3", "XY_DJAI_0055-09#3_20130507090501"},
        {"..\\..\\x:y*z?\"<>|", "XY_DJAI_.._.._x_y_z______20130507090501"},
        {"", "XY_DJAI__20130507090501"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reference);
        LicenceRun t;
        t.clock.set(QDateTime(QDate(2013, 5, 7), QTime(9, 5, 1)));
        EXPECT_EQ(NombreArchivoLicencia(t.rt, QString::fromUtf8(c.reference)), QString::fromUtf8(c.name));
    }
}

TEST(Licence, BodyHoldsHeaderPartiesItemsAndFlexFieldInOrder)
{
    LicenceRun t;
    QString broker;
    const QString doc = body(t, &broker);
    EXPECT_EQ(broker, QStringLiteral("2013/455"));

    const QString expected = QStringLiteral(
        "<requestReference>2013/455</requestReference><requestType>D</requestType>"
        "<licenseNumber>13073DJAI012345K</licenseNumber><licenseRegime></licenseRegime>"
        "<licenseCustomsHouse>073 CORDOBA</licenseCustomsHouse>"
        "<licenseCountryOfOrigin>CN</licenseCountryOfOrigin><licenseCountryOfBuying>BR</licenseCountryOfBuying>"
        "<licensePortOfLoading></licensePortOfLoading><licenseTransportationType>4</licenseTransportationType>"
        "<licenseCurrency>USD</licenseCurrency><licenseTotalPrice>1234.50</licenseTotalPrice>"
        "<licenseDollarRate>4.9876543</licenseDollarRate><licenseTotalDollarPrice>1234.50</licenseTotalDollarPrice>"
        "<licenseAdditionalInfo></licenseAdditionalInfo><licenseDateTime>2013-01-31T16:20:00</licenseDateTime>"
        "<licenseDueDateTime>2013-07-30T16:20:00</licenseDueDateTime><licenseStatus>OFICIALIZADA</licenseStatus>"
        "<licenseValid>S</licenseValid><licenseFreightCurrency>USD</licenseFreightCurrency>"
        "<licenseFreightValue>80.00</licenseFreightValue><licenseInsuranceCurrency>USD</licenseInsuranceCurrency>"
        "<licenseInsuranceValue>12.13</licenseInsuranceValue><licenseSurchargeValue>0.00</licenseSurchargeValue>"
        "<licenseDeductionValue>0.00</licenseDeductionValue>"
        "<licenseEntity><entityType>IMPORTER</entityType><entityReferenceCode>30-1</entityReferenceCode>"
        "<entityName>Pérez, Juan &amp; Cía</entityName><entityCountry>AR</entityCountry>"
        "<entityAddress>Calle 1 &amp; 2</entityAddress><entityCity>Córdoba</entityCity><entityState></entityState>"
        "<entityPostalCode>X5000</entityPostalCode><entityPhone></entityPhone></licenseEntity>"
        "<licenseItem><itemLineNumber>0001</itemLineNumber><itemHTS>84713012100A</itemHTS>"
        "<itemMeasureUnity>07</itemMeasureUnity><itemQuantity>10.0000000</itemQuantity>"
        "<itemCurrency>USD</itemCurrency><itemUnitPrice>123.4500000</itemUnitPrice>"
        "<itemTotalPrice>1234.5000000</itemTotalPrice><itemDescription>MAQUINASAUTOMATICAS P PROC </itemDescription>"
        "<itemItemState>NUEVO SIN USO IMPORTADO</itemItemState><itemTotalWeight>55.5000000</itemTotalWeight>"
        "<itemCountryofOrigin>CN</itemCountryofOrigin><itemCountryofDeparture>BR</itemCountryofDeparture>"
        "<itemDateShipmentForecast>2013-02-15T00:00:00</itemDateShipmentForecast>"
        "<itemDateArrivalForecast>2013-03-20T00:00:00</itemDateArrivalForecast>"
        "<itemFreightValue>80.0000000</itemFreightValue><itemInsuranceValue>12.1250000</itemInsuranceValue>"
        "<itemSurchargeValue>0.00000000</itemSurchargeValue><itemDeductionValue>0.000000000</itemDeductionValue>"
        "<itemSubItem><subItemLineNumber>0000</subItemLineNumber><subItemMeasureUnity>07</subItemMeasureUnity>"
        "<subItemQuantity>10.0000000</subItemQuantity><subItemUnityPrice>123.4500000</subItemUnityPrice>"
        "<subItemTotalPrice>1234.5000000</subItemTotalPrice>"
        "<subItemDescription>MAQUINASAUTOMATICAS P PROC </subItemDescription>"
        "<subItemDetail><itemDetailRequest>ITR-1</itemDetailRequest><itemDetailQuantity>10</itemDetailQuantity>"
        "<itemDetailPartNumber>NB-14</itemDetailPartNumber></subItemDetail></itemSubItem>"
        "<itemFlexField><flexFieldName></flexFieldName><flexFieldValue></flexFieldValue></itemFlexField>"
        "</licenseItem>"
        "<licenseFlexField><flexFieldName></flexFieldName><flexFieldValue></flexFieldValue></licenseFlexField>");
    EXPECT_EQ(doc, expected);

    // The header row and the parties are read under the licence and its broker reference code.
    EXPECT_EQ(t.data.statements(LicenceRun::H).first(),
              QStringLiteral("Select * From caratula_caratula where despacho = '13073DJAI012345K'"));
    EXPECT_TRUE(t.data.statements(LicenceRun::I).contains(
        QStringLiteral("Select * From requestentitydvn where INTNRO = '2013/455' order by RequestEntityID ASC")));
    // No box: the operator's prompt only.
    EXPECT_TRUE(t.boxes.messages().isEmpty());
}

TEST(Licence, DateTimesFollowTheFixedTimeSetting)
{
    const struct {
        const char *fixedTime;
        QVariant officialised;
        const char *date;
        const char *due;
        const char *shipment;
    } cases[] = {
        {"00:00:00", QStringLiteral("2013-01-31 16:20:00"), "2013-01-31T00:00:00", "2013-07-30T00:00:00",
         "2013-02-15T00:00:00"},
        {"", QStringLiteral("2013-01-31 16:20:00"), "2013-01-31T16:20:00", "2013-07-30T16:20:00",
         "2013-02-15T00:00:00"},
        {"", QDateTime(QDate(2013, 1, 31), QTime(16, 20)), "2013-01-31T16:20:00", "2013-07-30T16:20:00",
         "2013-02-15T00:00:00"},
        {"", QStringLiteral("31/12/2012 8:05"), "2012-12-31T08:05:00", "2013-06-29T08:05:00",
         "2013-02-15T00:00:00"},
        {"12:30", QStringLiteral("2013-01-31"), "2013-01-31T12:30", "2013-07-30T12:30", "2013-02-15T12:30"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.officialised.toString().toStdString() + " / " + c.fixedTime);
        LicenceRun t;
        t.rt.cfg.PREDETERMINARHORA = QLatin1String(c.fixedTime);
        t.setHeader("FECHA_OFICIALIZACION", c.officialised);
        const QString doc = body(t);
        EXPECT_EQ(element(doc, QStringLiteral("licenseDateTime")), QLatin1String(c.date));
        EXPECT_EQ(element(doc, QStringLiteral("licenseDueDateTime")), QLatin1String(c.due));
        EXPECT_EQ(element(doc, QStringLiteral("itemDateShipmentForecast")), QLatin1String(c.shipment));
    }
}

TEST(Licence, CurrencyDecidesTheItemsQueryAndTheRateOfEveryItem)
{
    const struct {
        const char *divisa;
        bool ignoreRelation;
        const char *currency;
        const char *itemsQueryHolds;
        int rateQueries;  // the rate of the licence's currency read again per item (two items)
        bool noAdjustments = false;  // the items' adjustment sums are null
    } cases[] = {
        {"DOL", false, "USD", "AS VALOR_CIF_ITEM", 0},
        {"DOL", true, "DOL", " as BID", 0},
        {"", false, "USD", "AS VALOR_CIF_ITEM", 0},
        {"060", false, "EUR", " as BID", 2},
        {"060", false, "EUR", " as BID", 2, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.divisa) + (c.noAdjustments ? " without adjustments" : ""));
        LicenceRun t;
        t.rt.cfg.IGNORARRELACIONMONEDA = c.ignoreRelation;
        t.setHeader("DIVISA_FOB", QLatin1String(c.divisa));
        if (c.noAdjustments) {
            LicenceRun::set(t.item, "AAI", QVariant());
            LicenceRun::set(t.item, "AAD", QVariant());
        }
        QVariantList second = LicenceRun::columnValues(t.item);
        second[0] = QStringLiteral("0002");
        t.scriptItems({second});
        t.complementary("0002", "DJAI-FECHA-EMBAR", QStringLiteral("15/02/2013"));
        t.complementary("0002", "DJAI-FECHA-ARRIB", QStringLiteral("15/03/2013"));

        const QString doc = body(t);
        EXPECT_EQ(element(doc, QStringLiteral("licenseCurrency")), QLatin1String(c.currency));
        EXPECT_EQ(elements(doc, QStringLiteral("itemCurrency")),
                  QStringList(2, QLatin1String(c.currency)));
        int itemsQueries = 0, rateQueries = 0;
        for (const QString &sql : t.data.statements(LicenceRun::H)) {
            if (sql.contains(QLatin1String("ORDER BY NRO_ITEM"))) {
                ++itemsQueries;
                EXPECT_TRUE(sql.contains(QLatin1String(c.itemsQueryHolds))) << sql.toStdString();
            }
            if (sql.contains(QLatin1String("From Despacho_TiposCambio Where Moneda ='")
                             + QLatin1String(c.currency) + QLatin1Char('\'')))
                ++rateQueries;
        }
        EXPECT_EQ(itemsQueries, 1);
        EXPECT_EQ(rateQueries, c.rateQueries);
        EXPECT_TRUE(t.boxes.messages().isEmpty()) << t.boxes.messages().first().text.toStdString();
    }
}

TEST(Licence, EveryHeaderRowGivesItsOwnSequence)
{
    LicenceRun t;
    QVariantList second = LicenceRun::columnValues(t.header);
    second[2] = QStringLiteral("2013/456");  // IDENTIFICADOR_PROPIO
    t.scriptHeader({second});
    t.boxes.type(QStringLiteral("a-1"));
    t.boxes.type(QStringLiteral("b-2"));

    QString broker;
    const QString doc = body(t, &broker);
    EXPECT_EQ(elements(doc, QStringLiteral("requestReference")), (QStringList{QStringLiteral("A-1"), QStringLiteral("B-2")}));
    EXPECT_EQ(doc.count(QStringLiteral("<licenseFlexField>")), 2);
    EXPECT_EQ(doc.count(QStringLiteral("<licenseItem>")), 2);
    EXPECT_EQ(doc.count(QStringLiteral("<licenseEntity>")), 2);
    EXPECT_EQ(broker, QStringLiteral("B-2"));
    // Each row offered its own remembered code.
    const auto shown = t.boxes.shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].defaultValue, QStringLiteral("2013/455"));
    EXPECT_EQ(shown[1].defaultValue, QStringLiteral("2013/456"));
    // Each sequence closes before the next opens.
    EXPECT_LT(doc.indexOf(QStringLiteral("</licenseFlexField>")), doc.lastIndexOf(QStringLiteral("<requestReference>")));
}

TEST(Licence, FailingBodyWritesAndRecordsNothing)
{
    const struct {
        const char *name;
        std::function<void(LicenceRun &)> arrange;
        int line;
        const char *readFirst = nullptr;  // a header lookup that runs before the failure
    } cases[] = {
        {"null officialisation date", [](LicenceRun &t) { t.setHeader("FECHA_OFICIALIZACION", QVariant()); }, 40,
         "as TotalDollarPrice"},
        {"empty shipment date", [](LicenceRun &t) { t.complementary("0001", "DJAI-FECHA-EMBAR", QString()); }, 60},
        {"missing shipment date",
         [](LicenceRun &t) {
             t.data.onContains(LicenceRun::H, QStringLiteral("Codigo = 'DJAI-FECHA-EMBAR'"), rows({QStringLiteral("Valor")}));
         },
         60},
        {"arrival date not a date", [](LicenceRun &t) { t.complementary("0001", "DJAI-FECHA-ARRIB", QStringLiteral("31/02/2013")); }, 60},
        {"null BID in euros",
         [](LicenceRun &t) {
             t.setHeader("DIVISA_FOB", QStringLiteral("060"));
             t.setItem("BID", QVariant());
         },
         60},
        {"null CIF in dollars", [](LicenceRun &t) { t.setItem("VALOR_CIF_ITEM", QVariant()); }, 60},
        {"failing lookup",
         [](LicenceRun &t) {
             t.data.onContains(LicenceRun::H, QStringLiteral("as TotalDollarPrice"), rows({QStringLiteral("OTRA")}, {{1}}));
         },
         40},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        c.arrange(t);
        GenerationReport rep;
        EXPECT_EQ(XMLDJAI(t.rt, &rep), QString());

        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        EXPECT_TRUE(t.files().isEmpty());
        EXPECT_FALSE(recorded(t));
        EXPECT_FALSE(t.rt.db.cacheEnabled());
        const auto messages = t.boxes.messages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].icon, BoxIcon::Warning);
        EXPECT_TRUE(messages[0].text.startsWith(QStringLiteral("Error ")));
        EXPECT_TRUE(messages[0].text.endsWith(QStringLiteral("\nin procedure DJAI_GetImportLicence of Módulo Mod_Main - ")
                                              + QString::number(c.line)))
            << messages[0].text.toStdString();
        if (c.readFirst) {
            // The header's lookups and their log lines come before the officialisation date.
            EXPECT_EQ(t.data.statements(LicenceRun::H).filter(QLatin1String(c.readFirst)).size(), 1);
            EXPECT_TRUE(t.data.statements(LicenceRun::I).contains(
                QStringLiteral("Select descripcion from aduana Where Id = '073'")));
            EXPECT_TRUE(t.logText().contains(QStringLiteral("GetCountryOfOrigin es: 310")));
            EXPECT_TRUE(t.logText().contains(QStringLiteral("GetPaisNameFromID.pais GetPaisRelacion(sValue): BR")));
        }
    }
}

// A statement the database refuses ends the licence's generation: no file, no record, and the one
// box is the standard error box of XMLDJAI with the database's text, whichever builder sent it.
TEST(Licence, ARefusedStatementEndsTheGeneration)
{
    const struct {
        const char *name;
        const char *entity;
        const char *fragment;
    } cases[] = {
        {"header query", "HISTORIAL", "From caratula_caratula"},
        {"items query", "HISTORIAL", "ORDER BY NRO_ITEM"},
        {"parties query", "INTERNOS", "From requestentitydvn"},
        {"customs office lookup", "INTERNOS", "from aduana Where Id = '073'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        t.data.failOn(QString::fromUtf8(c.entity), QString::fromUtf8(c.fragment), QStringLiteral("gone"));
        GenerationReport rep;
        EXPECT_EQ(XMLDJAI(t.rt, &rep), QString());

        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        EXPECT_TRUE(t.files().isEmpty());
        EXPECT_FALSE(recorded(t));
        EXPECT_FALSE(t.rt.db.inGeneration());
        const auto messages = t.boxes.messages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].icon, BoxIcon::Warning);
        EXPECT_EQ(messages[0].text, QStringLiteral("Error -2147217900 (gone)\nin procedure XMLDJAI of Módulo MOD_DJAI - 10"));
    }
}

TEST(Licence, WritesTheFileTellsWhereAndRecordsIt)
{
    LicenceRun t;
    t.clock.set(QDateTime(QDate(2013, 5, 7), QTime(9, 5, 1)));
    t.rt.cfg.RUTAGENXML = t.out.chopped(1);  // no separator at the end
    GenerationReport rep;
    XMLDJAI(t.rt, &rep);

    const QString name = QStringLiteral("XY_DJAI_2013_455_20130507090501");
    const QString path = t.out + name + QStringLiteral(".XML");
    ASSERT_EQ(rep.outcome, GenerationReport::Written);
    EXPECT_EQ(rep.fileName, name);
    EXPECT_EQ(rep.path, path);
    EXPECT_EQ(t.files(), QStringList{name + QStringLiteral(".XML")});

    const QString doc = QString::fromLatin1(test::readFile(path));
    EXPECT_TRUE(doc.startsWith(kEnvelope + QStringLiteral("<requestReference>2013/455</requestReference>")));
    EXPECT_TRUE(doc.endsWith(QStringLiteral("</licenseFlexField>") + kClose));
    // No comma becomes a point: a party keeps its comma.
    EXPECT_TRUE(doc.contains(QStringLiteral("<entityName>Pérez, Juan &amp; Cía</entityName>")));

    const auto messages = t.boxes.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].icon, BoxIcon::Information);
    EXPECT_EQ(messages[0].text, QStringLiteral("El archivo se ha generado correctamente,\r\n Ubicacion: ") + path
                                    + QStringLiteral("\r\n La informacion esta lista para subirlo a la carpeta FTP de Dorvane"));
    EXPECT_EQ(messages[0].title, Runtime::appTitle());
    EXPECT_EQ(t.writes().last(),
              QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = {d '2013-05-07'} ,Xml_B2DFile = '")
                  + name + QStringLiteral("' Where Despacho ='13073DJAI012345K'"));
}

TEST(Licence, LicenceWithoutHeaderRowAsksForTheFileName)
{
    LicenceRun t;
    t.data.onContains(LicenceRun::H, QStringLiteral("Select * From caratula_caratula"), rows(LicenceRun::columnNames(t.header)));
    t.boxes.type(QStringLiteral("0055/09#3"));
    GenerationReport rep;
    XMLDJAI(t.rt, &rep);

    const QString name = QStringLiteral("XY_DJAI_0055_09#3_20190305140709");
    ASSERT_EQ(rep.outcome, GenerationReport::Written);
    EXPECT_EQ(rep.fileName, name);
    EXPECT_EQ(test::readFile(t.out + name + QStringLiteral(".XML")), (kEnvelope + kClose).toLatin1());
    ASSERT_FALSE(t.boxes.shown().isEmpty());
    EXPECT_EQ(t.boxes.shown().first().title, QStringLiteral("Generar Archivo"));
    EXPECT_TRUE(recorded(t));
}

TEST(Licence, CancelledBrokerPromptWritesAndRecordsNothing)
{
    LicenceRun t;
    t.boxes.type(QString());
    t.boxes.answer(true);
    GenerationReport rep;
    XMLDJAI(t.rt, &rep);

    EXPECT_EQ(rep.outcome, GenerationReport::Cancelled);
    EXPECT_TRUE(t.rt.generacionCancelada);
    EXPECT_TRUE(t.files().isEmpty());
    EXPECT_TRUE(t.writes().isEmpty());
    // Nothing after the prompt was read.
    for (const QString &sql : t.data.statements())
        EXPECT_FALSE(sql.contains(QLatin1String("ORDER BY NRO_ITEM")));
    const auto messages = t.boxes.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].text.startsWith(QStringLiteral("Error -2147220393 (Proceso Cancelado por usuario) en ObtenerBrokerReferenceCode")));
}

TEST(Licence, FailedWriteIsReportedAndNothingIsRecorded)
{
    const struct {
        const char *name;
        QString folder;
    } cases[] = {
        {"missing folder", QStringLiteral("/nonexistent/licences/")},
        {"no folder configured", QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        t.rt.cfg.RUTAGENXML = c.folder;
        GenerationReport rep;
        XMLDJAI(t.rt, &rep);
        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        EXPECT_FALSE(recorded(t));
        const auto messages = t.boxes.messages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].text.endsWith(QStringLiteral("\nin procedure XMLDJAI of Módulo MOD_DJAI - 40")))
            << messages[0].text.toStdString();
    }
}

TEST(LicenceEntities, PartiesOfTheInternoInIdentityOrder)
{
    LicenceRun t;
    t.data.onContains(LicenceRun::I, QStringLiteral("From requestentitydvn"),
                      rows(LicenceRun::partyColumns(),
                           {{QStringLiteral("IMPORTER"), QStringLiteral("1"), QStringLiteral("Juan & Cía"), QStringLiteral("AR"),
                             QStringLiteral("Av. <Norte> 1"), QString(), QString(), QString(), QString()},
                            {QStringLiteral("SUPPLIER"), QVariant(), QStringLiteral("Shenzhen"), QStringLiteral("CN"),
                             QString(), QString(), QString(), QString(), QStringLiteral("+86")}}));
    EXPECT_EQ(DJAI_GetLicenseEntity(t.rt, QStringLiteral("O'Neil")),
              QStringLiteral("<licenseEntity><entityType>IMPORTER</entityType><entityReferenceCode>1</entityReferenceCode>"
                             "<entityName>Juan &amp; Cía</entityName><entityCountry>AR</entityCountry>"
                             "<entityAddress>Av. &lt;Norte&gt; 1</entityAddress><entityCity></entityCity>"
                             "<entityState></entityState><entityPostalCode></entityPostalCode><entityPhone></entityPhone>"
                             "</licenseEntity>"
                             "<licenseEntity><entityType>SUPPLIER</entityType><entityReferenceCode></entityReferenceCode>"
                             "<entityName>Shenzhen</entityName><entityCountry>CN</entityCountry><entityAddress></entityAddress>"
                             "<entityCity></entityCity><entityState></entityState><entityPostalCode></entityPostalCode>"
                             "<entityPhone>+86</entityPhone></licenseEntity>"));
    EXPECT_EQ(t.data.statements(),
              QStringList{QStringLiteral("Select * From requestentitydvn where INTNRO = 'O''Neil' order by RequestEntityID ASC")});
    EXPECT_TRUE(t.boxes.shown().isEmpty());
}

TEST(LicenceEntities, NoRowsOrAFailureGiveNoParties)
{
    const struct {
        const char *name;
        ResultSet rows;
        const char *box;  // the end of the box shown, or empty
    } cases[] = {
        {"no rows", rows(LicenceRun::partyColumns()), ""},
        {"missing column", rows({QStringLiteral("entityType")}, {{QStringLiteral("IMPORTER")}}),
         "\nin procedure DJAI_GetLicenseEntity of Módulo MOD_DJAI - "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        t.data.onContains(LicenceRun::I, QStringLiteral("From requestentitydvn"), c.rows);
        EXPECT_EQ(DJAI_GetLicenseEntity(t.rt, QStringLiteral("19-1")), QString());
        if (*c.box) {
            ASSERT_EQ(t.boxes.messages().size(), 1);
            EXPECT_TRUE(t.boxes.messages().first().text.endsWith(QString::fromUtf8(c.box)));
        } else {
            EXPECT_TRUE(t.boxes.shown().isEmpty());
        }
    }
    EXPECT_EQ(DJAI_GetLicenseFlexField(), kFlex);
}

// As for declarations, the licence is recorded before it is put in place: a refused record leaves
// no file and no success message; a file that cannot be put in place puts the row back.
TEST(Licence, FileAndRowAgreeWhenTheRecordOrTheRenameFails)
{
    const QString name = QStringLiteral("XY_DJAI_2013_455_20190305140709");
    const QString record = QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = '")
        + name + QStringLiteral("' Where Despacho ='13073DJAI012345K'");
    const QString restore = QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = NULL ,Xml_B2DFile = NULL "
                                           "Where Despacho ='13073DJAI012345K'");
    const struct {
        const char *name;
        int fault;  // 0 record refused, 1 record changes no row, 2 rename fails
        const char *box;
    } cases[] = {
        {"record refused", 0, "Error -2147217900 (sin permiso)\nin procedure Set_Procesado of Módulo Mod_Main - 20"},
        {"record changes no row", 1, "\nin procedure Set_Procesado of Módulo Mod_Main - 20"},
        {"rename fails", 2, "\nin procedure XMLDJAI of Módulo MOD_DJAI - 40"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LicenceRun t;
        const QString fragment = QStringLiteral("Set Xml_Procesado = {d");
        if (c.fault == 0)
            t.data.failOn(LicenceRun::H, fragment, QStringLiteral("sin permiso"));
        else if (c.fault == 1)
            t.data.changesNoRow(LicenceRun::H, fragment);
        else
            t.data.whenRun(LicenceRun::H, fragment, [&] { QDir(t.out).mkdir(name + QStringLiteral(".XML")); });

        GenerationReport rep;
        XMLDJAI(t.rt, &rep);
        EXPECT_EQ(rep.outcome, GenerationReport::Failed);
        QStringList files = t.files();
        if (c.fault == 2)
            files.removeOne(name + QStringLiteral(".XML"));  // the folder in the way
        EXPECT_TRUE(files.isEmpty()) << files.join(QLatin1Char(' ')).toStdString();
        const QStringList writes = t.writes().filter(QStringLiteral("Xml_Procesado"));
        EXPECT_EQ(writes, (c.fault == 2 ? QStringList{record, restore} : QStringList{record}));
        const auto messages = t.boxes.messages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].icon, BoxIcon::Warning);
        EXPECT_TRUE(messages[0].text.endsWith(QString::fromUtf8(c.box))) << messages[0].text.toStdString();
    }
}
