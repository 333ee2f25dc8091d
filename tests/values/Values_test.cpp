#include "values/Values.h"

#include "lookups/CodeTables.h"
#include "lookups/Currency.h"
#include "runtime/Numbers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

namespace {

const QString kHist = QStringLiteral("HISTORIAL");
const QString kRateSql = QStringLiteral(
    "SELECT  SUM(CAST(MONTO_FOB_DOL as FLOAT)) / SUM(CAST(MONTO_FOB_DIV as FLOAT)) as TipoDeCambio "
    "FROM ITEMS_ARTICULOS where IDN_DESPACHO = '19001IC04000123A'");
const QString kExistSql = QStringLiteral(
    "Select Moneda From Despacho_TiposCambio Where Moneda ='060' AND Despacho ='19001IC04000123A'");

std::string s(const QString &t)
{
    return t.toStdString();
}

}  // namespace

TEST(Values, MasksRoundHalfAwayFromZeroOnTheDecimalForm)
{
    struct Case {
        double value;
        int decimals;
        const char *text;
    } cases[] = {
        {2.675, 2, "2.68"},         {1.005, 2, "1.01"},          {-1.005, 2, "-1.01"},
        {0.125, 2, "0.13"},         {-0.001, 2, "0.00"},         {-0.0, 2, "0.00"},
        {9.995, 2, "10.00"},        {1234567.891, 2, "1234567.89"}, {0.07, 2, "0.07"},
        {1.23456785, 7, "1.2345679"}, {0.00000004, 7, "0.0000000"}, {1.0 / 3, 8, "0.33333333"},
        {123.456, 9, "123.456000000"}, {-2.5, 0, "-3"},          {1e15, 2, "1000000000000000.00"},
        // Exact ties at the sixteenth digit round up too, never to even.
        {1234567890123445.0, 2, "1234567890123450.00"}, {-1234567890123445.0, 0, "-1234567890123450"},
        {0.0, 3, "0.000"},          {999999999999999.5, 0, "1000000000000000"}, {5e-324, 2, "0.00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(s(formatMask(c.value, c.decimals)), c.text);
    }
}

TEST(Values, PlainNumberHasFifteenSignificantDigitsAndNoExponent)
{
    const std::pair<double, const char *> cases[] = {
        {0.3333333333333333, "0.333333333333333"}, {2.5, "2.5"}, {10, "10"}, {-0.0, "0"},
        {-0.5, "-0.5"}, {0.1 + 0.2, "0.3"}, {1e-7, "0.0000001"}, {1e20, "100000000000000000000"},
        {1234567890123445.0, "1234567890123450"}, {1.5e-10, "0.00000000015"},
        {0.99999999999999988898, "1"},  // the fifteenth digit carries into a new one
    };
    for (const auto &[value, text] : cases)
        EXPECT_EQ(s(plainNumber(value)), text);
}

TEST(Values, EsNumeroReadsOneSeparatorAndReportsTwo)
{
    struct Case {
        QVariant value;
        double number;
        bool box;
    } cases[] = {
        {12.5, 12.5, false},  {qlonglong(7000000000), 7e9, false},
        {QStringLiteral("12.5"), 12.5, false},     {QStringLiteral("12,5"), 12.5, false},
        {QStringLiteral(" 12.5 "), 12.5, false},   {QStringLiteral("-3,25"), -3.25, false},
        {QStringLiteral(".5"), 0.5, false},        {QStringLiteral("1e3"), 1000, false},
        {QVariant(), 0, false},                    {QStringLiteral(""), 0, false},
        {QStringLiteral("   "), 0, false},         {QStringLiteral("abc"), 0, false},
        {QStringLiteral("12 5"), 0, false},        {QStringLiteral(","), 0, false},
        {QStringLiteral("+.5e-2"), 0.005, false},  {QStringLiteral("2E+2"), 200, false},
        {QStringLiteral("1e"), 0, false},          {QStringLiteral("1e5x"), 0, false},
        {QStringLiteral("e5"), 0, false},          {QStringLiteral("-"), 0, false},
        {QDateTime(QDate(2019, 3, 5), QTime(1, 2)), 0, false},
        {QStringLiteral("1.234,5"), 0, true},      {QStringLiteral("1,234.5"), 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(s(c.value.toString()));
        TestRun run;
        EXPECT_DOUBLE_EQ(EsNumero(run.rt, c.value), c.number);
        EXPECT_EQ(readNumber(c.value).has_value(), !c.box);
        EXPECT_EQ(isNumeric(c.value), c.number != 0);
        EXPECT_EQ(run.boxes.texts(),
                  c.box ? QStringList{QStringLiteral(
                              "Error 13 (Type mismatch)\nin procedure EsNumero of Módulo Mod_Main - ")}
                        : QStringList());
    }
}

TEST(Values, EsNuloGivesEmptyForNullAndTextOtherwise)
{
    EXPECT_EQ(s(EsNulo(QVariant())), "");
    EXPECT_EQ(s(EsNulo(QVariant(QMetaType(QMetaType::QString)))), "");
    EXPECT_EQ(s(EsNulo(QStringLiteral(" a,b "))), " a,b ");
    EXPECT_EQ(s(EsNulo(QVariant(3))), "3");
    EXPECT_EQ(s(EsNulo(QVariant(0.1 + 0.2))), "0.3");
    EXPECT_EQ(s(EsNulo(QDateTime(QDate(2019, 3, 5), QTime(14, 7, 9)))), "2019-03-05 14:07:09");
}

TEST(Values, ReadDateAcceptsTheOfficeFormsAndRejectsImpossibleDates)
{
    const auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int sec = 0) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, sec));
    };
    const std::pair<QVariant, QDateTime> cases[] = {
        {QStringLiteral("5/3/2019"), at(2019, 3, 5)},
        {QStringLiteral("05-03-2019"), at(2019, 3, 5)},
        {QStringLiteral("5.3.2019 14:07"), at(2019, 3, 5, 14, 7)},
        {QStringLiteral("05/03/2019T14:07:09"), at(2019, 3, 5, 14, 7, 9)},
        {QStringLiteral("1/1/29"), at(2029, 1, 1)},
        {QStringLiteral("1/1/30"), at(1930, 1, 1)},
        {QStringLiteral(" 2019-03-05 "), at(2019, 3, 5)},
        {QStringLiteral("2019-03-05 14:07:09.123"), at(2019, 3, 5, 14, 7, 9)},
        {QStringLiteral("29/02/2020"), at(2020, 2, 29)},
        {QDate(2019, 3, 5), at(2019, 3, 5)},
        {at(2019, 3, 5, 8), at(2019, 3, 5, 8)},
        {QStringLiteral("31/02/2019"), {}}, {QStringLiteral("13/13/2019"), {}},
        {QStringLiteral("2019-02-30"), {}}, {QStringLiteral("5/3/2019 24:00"), {}},
        {QStringLiteral("5/3-2019"), {}},   {QStringLiteral("5/3/219"), {}},
        {QStringLiteral("hoy"), {}},        {QVariant(), {}},
        {QVariant(43529), {}},
    };
    for (const auto &[value, expected] : cases) {
        SCOPED_TRACE(s(value.toString()));
        const auto got = readDate(value);
        EXPECT_EQ(got.value_or(QDateTime()), expected);
    }
}

TEST(Values, DateForms)
{
    const QDateTime dt(QDate(2019, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(s(isoDateTime(dt)), "2019-03-05T14:07:09");
    EXPECT_EQ(s(isoDate(dt.date())), "2019-03-05");
    EXPECT_EQ(s(fileStamp(dt)), "20190305140709");
}

TEST(Values, TextsAreEscapedOnceAndQuotesDoubled)
{
    EXPECT_EQ(s(xmlEscape(QStringLiteral("A&B <c> d,e \"f\" 'g'"))),
              "A&amp;B &lt;c&gt; d,e \"f\" 'g'");
    EXPECT_EQ(s(xmlEscape(QStringLiteral("&amp;"))), "&amp;amp;");
    EXPECT_EQ(s(xmlElement(QStringLiteral("name"), QStringLiteral(" Pérez & Hijos, S.A. "))),
              "<name> Pérez &amp; Hijos, S.A. </name>");
    EXPECT_EQ(s(xmlElement(QStringLiteral("x"), {})), "<x></x>");
    EXPECT_EQ(s(xmlElement("t", QStringLiteral(">a<"))), "<t>&gt;a&lt;</t>");
    EXPECT_EQ(s(sqlQuote(QStringLiteral("O'Neil's"))), "O''Neil''s");
    EXPECT_EQ(s(sqlQuote(QStringLiteral("''"))), "''''");
}

// The quick upper-casing of names gives what Qt's does, for ASCII and for everything else.
TEST(Values, UpperCasedIsQtsUpperCase)
{
    for (const char *text : {"", "ITEMS_ARTICULOS", "Nro_item", "z", "[a b]", "@x1", "Ñandú", "straße", "abcé",
                             "ǆ", "\xF0\x9D\x90\x9A"}) {
        const QString in = QString::fromUtf8(text);
        EXPECT_EQ(s(upperCased(in)), s(in.toUpper())) << text;
    }
}

// A character XML does not allow in a document becomes a blank; the three whitespace controls
// and every other character stay.
TEST(Values, CharactersXmlRefusesBecomeBlanks)
{
    for (char16_t c = 0; c < 0x20; ++c) {
        SCOPED_TRACE(int(c));
        const bool kept = c == u'\t' || c == u'\n' || c == u'\r';
        const QString in = QStringLiteral("a") + QChar(c) + QStringLiteral("b");
        EXPECT_EQ(xmlEscape(in), kept ? in : QStringLiteral("a b"));
    }
    EXPECT_EQ(xmlEscape(QStringLiteral("x") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("y")),
              QStringLiteral("x  y"));
    // Neighbours of the refused ones are characters like any other.
    const QString kept = QStringLiteral(" ~") + QChar(0x7F) + QChar(0x85) + QChar(0xFFFD) + QChar(0xE000)
        + QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(xmlEscape(kept), kept);
    EXPECT_EQ(xmlElement(QStringLiteral("n"), QStringLiteral("A") + QChar(0x01) + QStringLiteral("&B")),
              QStringLiteral("<n>A &amp;B</n>"));
}

TEST(Values, VALSUFKeepsDigitsLettersAndEnye)
{
    TestRun run;
    struct Case {
        const char *in;
        const char *out;
        const char *variable;
    } cases[] = {
        {" caño-12/b ", "CAÑO 12 B", "CAÑO-12/B"},
        {"Ácido & <sal>", " CIDO    SAL ", "ÁCIDO & <SAL>"},
        {"a.b,c;d\te", "A B C D E", "A.B,C;D\tE"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        QString text = QString::fromUtf8(c.in);
        EXPECT_EQ(s(m_sVALSUF(text)), c.out);
        EXPECT_EQ(s(text), c.variable);
    }
    EXPECT_EQ(m_sVALCHAR(QChar(0x00D1)), QChar(0x00D1));
    EXPECT_EQ(m_sVALCHAR(QChar(0x00F1)), QLatin1Char(' '));
    EXPECT_EQ(m_sVALCHAR(QChar(0x20AC)), QLatin1Char(' '));
    EXPECT_EQ(m_sVALCHAR(QLatin1Char('a')), QLatin1Char(' '));
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(Values, FileNamePartsAndPaths)
{
    EXPECT_EQ(s(safeFileNamePart(QStringLiteral("AB/12\\3:4*5?6\"7<8>9|0#1\t2 ñ.x"))),
              "AB_12_3_4_5_6_7_8_9_0_1_2 ñ.x");
    struct Case {
        const char *folder;
        const char *joined;
    } cases[] = {
        {"/data/out", "/data/out/f.xml"},
        {"/data/out/", "/data/out/f.xml"},
        {"C:\\B2D", "C:\\B2D\\f.xml"},
        {"C:\\B2D\\", "C:\\B2D\\f.xml"},
        {"C:/B2D/", "C:/B2D/f.xml"},
        {"", "f.xml"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(s(joinPath(QString::fromUtf8(c.folder), QStringLiteral("f.xml"))), c.joined);
    }
}

TEST(Values, EquivalenciaMonedasOfDollarsAndEmptyQueriesNothing)
{
    struct Case {
        const char *code;
        bool ignore;
        const char *result;
    } cases[] = {
        {"", false, "USD"}, {"", true, ""},       {"DOL", false, "USD"},
        {"DOL", true, "DOL"}, {"USD", false, "USD"}, {"USD", true, "USD"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.code) + (c.ignore ? " ignored" : ""));
        TestRun run;
        run.rt.cfg.IGNORARRELACIONMONEDA = c.ignore;
        double rate = 0;
        EXPECT_EQ(s(EquivalenciaMonedas(run.rt, QString::fromUtf8(c.code), rate)), c.result);
        EXPECT_DOUBLE_EQ(rate, 1.0);
        EXPECT_TRUE(run.data.calls().isEmpty());
    }
}

TEST(Values, EquivalenciaMonedasRecordsTheRateInsertingThenUpdating)
{
    TestRun run;
    run.rt.Despacho = QStringLiteral("19001IC04000123A");
    run.data.onExact(kHist, kRateSql,
                     rows({QStringLiteral("TipoDeCambio")}, {{QVariant(1234.5 / 1000)}}));
    run.data.onExact(kHist, QStringLiteral("Select IDISO From RelacionMonedas Where IDSIM ='060'"),
                     rows({QStringLiteral("IDISO")}, {{QStringLiteral("EUR")}}));

    double rate = 0;
    EXPECT_EQ(s(EquivalenciaMonedas(run.rt, QStringLiteral("060"), rate)), "EUR");
    EXPECT_DOUBLE_EQ(rate, 1.23);
    const QStringList first = {
        kRateSql,
        kExistSql,
        QStringLiteral("Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) "
                       "Values('060','19001IC04000123A','01.23')"),
        QStringLiteral("Select IDISO From RelacionMonedas Where IDSIM ='060'"),
    };
    EXPECT_EQ(run.data.statements(kHist), first);

    // The row now exists: the second call updates it.
    run.data.clearCalls();
    run.data.onExact(kHist, kExistSql, rows({QStringLiteral("Moneda")}, {{QStringLiteral("060")}}));
    EquivalenciaMonedas(run.rt, QStringLiteral("060"), rate);
    ASSERT_EQ(run.data.statements(kHist).size(), 4);
    EXPECT_EQ(s(run.data.statements(kHist)[2]),
              "Update Despacho_TiposCambio Set Valor ='01.23' Where Moneda = '060' AND Despacho = "
              "'19001IC04000123A'");
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(Values, EquivalenciaMonedasQuotesValuesAndHandlesMissingRate)
{
    TestRun run;
    run.rt.Despacho = QStringLiteral("19'1");
    run.rt.cfg.IGNORARRELACIONMONEDA = true;
    double rate = 5;
    EXPECT_EQ(s(EquivalenciaMonedas(run.rt, QStringLiteral("E'R"), rate)), "E'R");
    EXPECT_DOUBLE_EQ(rate, 0);
    const QStringList expected = {
        QStringLiteral("SELECT  SUM(CAST(MONTO_FOB_DOL as FLOAT)) / SUM(CAST(MONTO_FOB_DIV as "
                       "FLOAT)) as TipoDeCambio FROM ITEMS_ARTICULOS where IDN_DESPACHO = '19''1'"),
        QStringLiteral("Select Moneda From Despacho_TiposCambio Where Moneda ='E''R' AND Despacho "
                       "='19''1'"),
        QStringLiteral("Insert INTO Despacho_TiposCambio (Moneda,Despacho,Valor) "
                       "Values('E''R','19''1','0')"),
    };
    EXPECT_EQ(run.data.statements(kHist), expected);
}

TEST(Values, EquivalenciaMonedasFailureShowsTheLineBox)
{
    TestRun run;
    run.rt.Despacho = QStringLiteral("19001IC04000123A");
    // A rate row without its column fails while reading it.
    run.data.onExact(kHist, kRateSql, rows({QStringLiteral("Otro")}, {{1}}));
    double rate = 0;
    EXPECT_EQ(s(EquivalenciaMonedas(run.rt, QStringLiteral("060"), rate)), "");
    ASSERT_EQ(run.boxes.messages().size(), 1);
    EXPECT_TRUE(run.boxes.messages()[0].text.startsWith(QStringLiteral("Error 3265 (")));
    EXPECT_TRUE(run.boxes.messages()[0].text.endsWith(
        QStringLiteral(") en EquivalenciaMonedas de Módulo Mod_Main \nLinea:2")));
    EXPECT_EQ(run.data.statements(kHist), QStringList{kRateSql});
}

TEST(Values, CalcularProrrateo)
{
    TestRun run;
    EXPECT_DOUBLE_EQ(CalcularProrrateo(run.rt, 1000, 250, 80), 20);
    EXPECT_DOUBLE_EQ(CalcularProrrateo(run.rt, -4, 1, 2), -0.5);
    EXPECT_TRUE(run.boxes.shown().isEmpty());
    EXPECT_DOUBLE_EQ(CalcularProrrateo(run.rt, 0, 250, 80), 0);
    ASSERT_EQ(run.boxes.messages().size(), 1);
    EXPECT_EQ(s(run.boxes.messages()[0].text),
              "Error 11 (Division by zero)\nin procedure CalcularProrrateo of Módulo Mod_Main - ");
}

TEST(Values, CodeTablesCompareExactly)
{
    EXPECT_EQ(s(ObtenerDescripcionEstado(QStringLiteral("AUTO"))), "AUTORIZADA PARCIALMENTE");
    EXPECT_EQ(s(ObtenerDescripcionEstado(QStringLiteral("O"))), "OBSERVADA");
    EXPECT_EQ(s(ObtenerDescripcionEstado(QStringLiteral("ofic"))), "ofic");
    EXPECT_EQ(s(ObtenerDescripcionEstado(QStringLiteral("OFIC "))), "OFIC ");
    EXPECT_EQ(s(ObtenerDescripcionCondicion(QStringLiteral("6"))), "SIN USO IMPORTADO");
    EXPECT_EQ(s(ObtenerDescripcionCondicion(QStringLiteral("01"))), "01");
}
