#include "lookups/CodeMappings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

namespace {

const QString kHist = QStringLiteral("HISTORIAL");

std::string s(const QString &t)
{
    return t.toStdString();
}

}  // namespace

TEST(CodeMappings, LookupsTranslateOrPassThroughWithTheirSwitch)
{
    enum Kind { Concepto, Moneda, Pais };
    struct Case {
        const char *name;
        Kind kind;
        bool bypass;
        QString code;
        QString sql;          // statement expected, empty when none
        QVariantList row;     // scripted first row, empty for no row
        const char *result;
    } cases[] = {
        {"currency bypassed", Moneda, true, QStringLiteral("DOL"), {}, {}, "DOL"},
        {"currency mapped", Moneda, false, QStringLiteral("DOL"),
         QStringLiteral("Select IDISO From RelacionMonedas Where IDSIM ='DOL'"),
         {QStringLiteral("USD")}, "USD"},
        {"currency unmapped", Moneda, false, QStringLiteral("XYZ"),
         QStringLiteral("Select IDISO From RelacionMonedas Where IDSIM ='XYZ'"), {}, ""},
        {"country bypassed", Pais, true, QStringLiteral("203"), {}, {}, "203"},
        {"country without row", Pais, false, QStringLiteral("999"),
         QStringLiteral("Select IDISO From RelacionPaises Where IDSIM ='999'"), {}, ""},
        {"country with null", Pais, false, QStringLiteral("203"),
         QStringLiteral("Select IDISO From RelacionPaises Where IDSIM ='203'"), {QVariant()}, ""},
        {"country mapped", Pais, false, QStringLiteral("203"),
         QStringLiteral("Select IDISO From RelacionPaises Where IDSIM ='203'"),
         {QStringLiteral("BR")}, "BR"},
        {"concept bypassed", Concepto, true, QStringLiteral("FREIGHT"), {}, {}, "FREIGHT"},
        {"concept mapped, quote doubled", Concepto, false, QStringLiteral("D'IVA"),
         QStringLiteral("Select RelacionDestino From RelacionConceptos Where RelacionOrigen ='D''IVA'"),
         {QStringLiteral("VAT")}, "VAT"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun run;
        const QString column = c.kind == Concepto ? QStringLiteral("RelacionDestino")
                                                  : QStringLiteral("IDISO");
        if (!c.row.isEmpty())
            run.data.onExact(kHist, c.sql, rows({column}, {c.row, {QStringLiteral("second")}}));
        // Every switch on except the one under test, to show each reads its own.
        run.rt.cfg.IGNORARRELACIONCONCEPTO = c.kind != Concepto || c.bypass;
        run.rt.cfg.IGNORARRELACIONMONEDA = c.kind != Moneda || c.bypass;
        run.rt.cfg.IGNORARRELACIONPAIS = c.kind != Pais || c.bypass;
        QString got;
        switch (c.kind) {
        case Concepto:
            got = ObtenerRelacionConcepto(run.rt, c.code);
            break;
        case Moneda:
            got = ObtenerRelacionMoneda(run.rt, c.code);
            break;
        case Pais:
            got = ObtenerRelacionPais(run.rt, c.code);
            break;
        }
        EXPECT_EQ(s(got), c.result);
        EXPECT_EQ(run.data.statements(), c.sql.isEmpty() ? QStringList() : QStringList{c.sql});
    }
}

TEST(CodeMappings, GetVariosRelacionDoublesQuotesAndReportsWhatItFound)
{
    TestRun run;
    const QString sql = QStringLiteral(
        "Select ValorDestino From RelacionVarios Where Tipo = 'CANAL' AND ValorOrigen = 'R''OJO' "
        "OR ValorDestino = 'R''OJO'");
    run.data.onExact(kHist, sql, rows({QStringLiteral("ValorDestino")}, {{QStringLiteral("RED")}}));
    bool found = false;
    EXPECT_EQ(s(GetVariosRelacion(run.rt, QStringLiteral("CANAL"), QStringLiteral("R'OJO"), found)),
              "RED");
    EXPECT_TRUE(found);
    EXPECT_EQ(run.data.statements(), QStringList{sql});

    found = true;
    EXPECT_EQ(s(GetVariosRelacion(run.rt, QStringLiteral("CANAL"), QStringLiteral("AZUL"), found)),
              "AZUL");
    EXPECT_FALSE(found);
    EXPECT_TRUE(run.boxes.shown().isEmpty());
}

TEST(CodeMappings, GetVariosRelacionFailureShowsItsBoxAndKeepsTheValue)
{
    TestRun run;
    // A row without the expected column fails while being read.
    run.data.onContains(kHist, QStringLiteral("RelacionVarios"), rows({QStringLiteral("X")}, {{1}}));
    bool found = true;
    EXPECT_EQ(s(GetVariosRelacion(run.rt, QStringLiteral("CANAL"), QStringLiteral("V"), found)), "V");
    EXPECT_FALSE(found);
    ASSERT_EQ(run.boxes.messages().size(), 1);
    const QString text = run.boxes.messages()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Error 3265 ("))) << s(text);
    EXPECT_TRUE(text.endsWith(QStringLiteral("\nin procedure GetVariosRelacion of Módulo Mod_Main - ")))
        << s(text);
}
