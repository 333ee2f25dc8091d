// The status columns of a declaration's CARATULA_CARATULA row: processed and sent, and the step
// that keeps a generated file and its row in agreement.
#include "declaration/StatusUpdates.h"

#include "data/DataAccess.h"
#include "data/FileWriter.h"
#include "platform/Clock.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <QDateTime>

namespace b2d {

namespace {
const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kModule = QStringLiteral("Mod_Main");

QString today(Runtime &rt)
{
    return isoDate(rt.clock.now().date());
}

QString whereDespacho(const QString &despacho)
{
    return QStringLiteral(" Where Despacho ='") + sqlQuote(despacho) + QStringLiteral("'");
}

// Runs a status update of one declaration's row. A statement the database refuses, or one that
// changes no row where the database tells the count, throws with the database's text.
void runStatusUpdate(Runtime &rt, const QString &sql, const QString &despacho)
{
    Connection &c = rt.db.getDataConnectionByEntity(kHistorial);
    c.sql = sql;
    bool ok = false;
    try {
        ok = c.ejecutar();
    } catch (const StatementRefused &r) {
        // The status steps report a refusal in their own box and undo what they must, inside a
        // generation as outside one.
        throw r.asError();
    }
    if (!ok)
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), c.lastError());
    if (c.rowsAffected() == 0)
        throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"),
                       QStringLiteral("No se actualizó ninguna fila de Caratula_Caratula con Despacho ")
                           + despacho);
}

// A value read from the row, written back as it was: NULL, a date escape, or the text quoted.
QString sqlLiteral(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::QDate)
        return QStringLiteral("{d '") + isoDate(value.toDate()) + QStringLiteral("'}");
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return QStringLiteral("{d '") + isoDate(dt.date()) + QStringLiteral("'}");
        return QStringLiteral("{ts '") + dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            + QStringLiteral("'}");
    }
    return QLatin1Char('\'') + sqlQuote(value.toString()) + QLatin1Char('\'');
}

QVariant column(const Recordset &rs, const QString &name)
{
    return rs.hasField(name) ? rs.field(name) : QVariant();
}

}  // namespace

EstadoDespacho LeerEstadoDespacho(Runtime &rt, const QString &despacho)
{
    EstadoDespacho estado;
    const QString sql = QStringLiteral("Select Xml_Procesado, Xml_B2DFile, Xml_Enviado From Caratula_Caratula")
        + whereDespacho(despacho);
    Connection &c = rt.db.getDataConnectionByEntity(kHistorial);
    c.sql = sql;
    Recordset rs;
    if (!c.crearrs(rs)) {
        if (!c.lastError().isEmpty())
            throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), c.lastError());
        return estado;
    }
    estado.found = true;
    estado.procesado = column(rs, QStringLiteral("Xml_Procesado"));
    estado.b2dFile = column(rs, QStringLiteral("Xml_B2DFile"));
    estado.enviado = column(rs, QStringLiteral("Xml_Enviado"));
    rs.Close();
    return estado;
}

bool Set_Procesado(Runtime &rt, const QString &despacho, const QString &fileName)
{
    int line = 10;
    try {
        const QString sql = QStringLiteral("Update Caratula_Caratula Set")
            + QStringLiteral(" Xml_Procesado = {d '") + today(rt) + QStringLiteral("'} ")
            + QStringLiteral(",Xml_B2DFile = '") + sqlQuote(fileName) + QStringLiteral("'")
            + whereDespacho(despacho);
        line = 20;
        runStatusUpdate(rt, sql, despacho);
        return true;
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("Set_Procesado"), kModule, QString::number(line));
        return false;
    }
}

bool Set_Enviado(Runtime &rt, bool enviado, const QString &despacho, QString *refusal)
{
    int line = 10;
    try {
        const QString value = enviado ? QStringLiteral("{d '") + today(rt) + QStringLiteral("'}")
                                      : QStringLiteral("NULL");
        const QString sql = QStringLiteral("Update Caratula_Caratula Set Xml_Enviado = ") + value
            + whereDespacho(despacho);
        line = 20;
        runStatusUpdate(rt, sql, despacho);
        return true;
    } catch (const B2DError &e) {
        if (refusal)
            *refusal = e.description();
        showStandardError(rt, e, QStringLiteral("Set_Enviado"), kModule, QString::number(line));
        return false;
    }
}

void RestaurarProcesado(Runtime &rt, const QString &despacho, const EstadoDespacho &earlier)
{
    trapStandard(rt, QStringLiteral("RestaurarProcesado"), kModule, 0, [&] {
        runStatusUpdate(rt,
                        QStringLiteral("Update Caratula_Caratula Set Xml_Procesado = ")
                            + sqlLiteral(earlier.procesado) + QStringLiteral(" ,Xml_B2DFile = ")
                            + sqlLiteral(earlier.b2dFile) + whereDespacho(despacho),
                        despacho);
        return 0;
    });
}

void RestaurarEnviado(Runtime &rt, const QString &despacho, const EstadoDespacho &earlier)
{
    trapStandard(rt, QStringLiteral("RestaurarEnviado"), kModule, 0, [&] {
        runStatusUpdate(rt,
                        QStringLiteral("Update Caratula_Caratula Set Xml_Enviado = ")
                            + sqlLiteral(earlier.enviado) + whereDespacho(despacho),
                        despacho);
        return 0;
    });
}

bool GuardarYRegistrar(Runtime &rt, const QString &path, const QByteArray &documento,
                       const QString &despacho, const QString &fileName)
{
    const EstadoDespacho earlier = LeerEstadoDespacho(rt, despacho);
    FileWriter writer;
    writer.ubicacion_archivo = path;
    writer.crear_archivo();
    writer.escribir(documento);
    return placeWhenRecorded(
               writer, [&] { return Set_Procesado(rt, despacho, fileName); },
               [&] { RestaurarProcesado(rt, despacho, earlier); })
        == Placement::Placed;
}

}  // namespace b2d
