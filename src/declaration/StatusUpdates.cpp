// The two status updates of a declaration's CARATULA_CARATULA row: processed and sent.
#include "declaration/StatusUpdates.h"

#include "data/DataAccess.h"
#include "platform/Clock.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {
const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kModule = QStringLiteral("Mod_Main");

QString today(Runtime &rt)
{
    return isoDate(rt.clock.now().date());
}
}  // namespace

void Set_Procesado(Runtime &rt, const QString &despacho, const QString &fileName)
{
    int line = 10;
    try {
        const QString sql = QStringLiteral("Update Caratula_Caratula Set")
            + QStringLiteral(" Xml_Procesado = {d '") + today(rt) + QStringLiteral("'} ")
            + QStringLiteral(",Xml_B2DFile = '") + sqlQuote(fileName) + QStringLiteral("'")
            + QStringLiteral(" Where Despacho ='") + sqlQuote(despacho) + QStringLiteral("'");
        line = 20;
        Connection &c = rt.db.getDataConnectionByEntity(kHistorial);
        c.sql = sql;
        // The file is already written: a refused update must not pass unnoticed.
        if (!c.ejecutar())
            throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), c.lastError());
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("Set_Procesado"), kModule, QString::number(line));
    }
}

void Set_Enviado(Runtime &rt, bool enviado, const QString &despacho)
{
    int line = 10;
    try {
        const QString value = enviado ? QStringLiteral("{d '") + today(rt) + QStringLiteral("'}")
                                      : QStringLiteral("NULL");
        const QString sql = QStringLiteral("Update Caratula_Caratula Set Xml_Enviado = ") + value
            + QStringLiteral(" Where Despacho ='") + sqlQuote(despacho) + QStringLiteral("'");
        line = 20;
        runStatement(rt, kHistorial, sql);  // its result is not used
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("Set_Enviado"), kModule, QString::number(line));
    }
}

}  // namespace b2d
