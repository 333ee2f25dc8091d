#include "support/TestSupport.h"

#include "app/Processing.h"
#include "declaration/StatusUpdates.h"

#include <gtest/gtest.h>

using namespace b2d;
using b2d::test::TestRun;

TEST(StatusUpdates, StatementsCarryTodayAndQuotedValues)
{
    const struct {
        const char *name;
        void (*run)(Runtime &);
        const char *sql;
    } cases[] = {
        {"processed",
         [](Runtime &rt) { Set_Procesado(rt, QStringLiteral("19001IC04000123A"), QStringLiteral("AB__IC04_O'N_1")); },
         "Update Caratula_Caratula Set Xml_Procesado = {d '2019-03-05'} ,Xml_B2DFile = 'AB__IC04_O''N_1' "
         "Where Despacho ='19001IC04000123A'"},
        {"sent", [](Runtime &rt) { Set_Enviado(rt, true, QStringLiteral("19001EC01'9")); },
         "Update Caratula_Caratula Set Xml_Enviado = {d '2019-03-05'} Where Despacho ='19001EC01''9'"},
        {"not sent", [](Runtime &rt) { Set_Enviado(rt, false, QStringLiteral("19001EC019")); },
         "Update Caratula_Caratula Set Xml_Enviado = NULL Where Despacho ='19001EC019'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestRun t;
        c.run(t.rt);
        ASSERT_EQ(t.data.calls().size(), 1);
        EXPECT_TRUE(t.data.calls()[0].write);
        EXPECT_EQ(t.data.calls()[0].entity, QStringLiteral("HISTORIAL"));
        EXPECT_EQ(t.data.calls()[0].sql, QString::fromUtf8(c.sql));
        EXPECT_TRUE(t.boxes.shown().isEmpty());
    }
}
