#include "declaration/Prompts.h"

#include "data/DataAccess.h"
#include "lookups/CodeMappings.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Queries.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kHistorial = QStringLiteral("HISTORIAL");
const QString kInternos = QStringLiteral("INTERNOS");
const QString kModule = QStringLiteral("Mod_Main");

// The column of CARATULA_CARATULA behind each key that can be read.
QString readColumn(const QString &key)
{
    static const QHash<QString, QString> columns{
        {QStringLiteral("ProcessRC"), QStringLiteral("xml_ProcessRC")},
        {QStringLiteral("BrokerRC"), QStringLiteral("IDENTIFICADOR_PROPIO")},
        {QStringLiteral("FechaLIB"), QStringLiteral("xml_FechaLIB")},
        {QStringLiteral("FechaCumplido"), QStringLiteral("xml_FechaCumplido")},
        {QStringLiteral("Canal"), QStringLiteral("xml_Canal")},
        {QStringLiteral("FechaOficializacion"), QStringLiteral("FECHA_OFICIALIZACION")},
        {QStringLiteral("FechaPago"), QStringLiteral("xml_FechaPago")},
    };
    return columns.value(key);
}

// The update statement that remembers `value` under `key`, or the empty text for a key that
// cannot be written. A completion date that is not a date cannot be written either.
QString updateStatement(const QString &key, const QString &value, const QString &despacho)
{
    const QString where = QStringLiteral("' Where DESPACHO = '") + sqlQuote(despacho) + QStringLiteral("'");
    if (key == QLatin1String("ProcessRC"))
        return QStringLiteral("Update CARATULA_CARATULA set xml_ProcessRC = '") + sqlQuote(value)
            + QStringLiteral("' Where DESPACHO ='") + sqlQuote(despacho) + QStringLiteral("'");
    if (key == QLatin1String("BrokerRC"))
        return QStringLiteral("Update CARATULA_CARATULA set IDENTIFICADOR_PROPIO ='") + sqlQuote(value) + where;
    if (key == QLatin1String("FechaLIB"))
        return QStringLiteral("Update CARATULA_CARATULA set xml_FechaLIB ='") + sqlQuote(value) + where;
    if (key == QLatin1String("FechaCumplido")) {
        const auto date = readDate(value);
        if (!date)
            return {};
        return QStringLiteral("Update CARATULA_CARATULA set xml_FechaCumplido = {d '")
            + isoDate(date->date()) + QStringLiteral("'} Where DESPACHO = '") + sqlQuote(despacho)
            + QStringLiteral("'");
    }
    if (key == QLatin1String("Canal"))
        return QStringLiteral("Update CARATULA_CARATULA set xml_Canal ='") + sqlQuote(value) + where;
    if (key == QLatin1String("FechaPago"))
        return QStringLiteral("Update CARATULA_CARATULA set xml_FechaPago ='") + sqlQuote(value) + where;
    return {};
}

// The question every mandatory prompt asks when it got no usable answer. Yes gives up: the
// user-cancel error is raised (and the generation marked cancelled when `marksCancelled`).
void askCancel(Runtime &rt, const QString &question, bool marksCancelled = true)
{
    if (!rt.boxes.askYesNo(question, Runtime::appTitle()))
        return;
    if (marksCancelled)
        rt.generacionCancelada = true;
    throw userCancelError();
}

// One of the three date prompts: the answer is kept as typed when it is a date.
QString askDate(Runtime &rt, const QString &procedure, const QString &key, const QString &prompt,
                const QString &title, const QString &question)
{
    int line = 10;
    try {
        const QString defaultValue = GetDataFromDB(rt, key);
        for (;;) {
            line = 20;
            const QString answer = rt.boxes.input(prompt, title, defaultValue);
            if (isDate(answer)) {
                line = 30;
                SetDataTODB(rt, key, answer);
                return answer;
            }
            if (!rt.cfg.REQCANALYFECHAS)
                break;
            line = 40;
            askCancel(rt, question);
        }
        line = 50;
        if (!rt.cfg.PERMITIRFECHASVACIAS)
            return GetDataFromDB(rt, QStringLiteral("FechaOficializacion"));
        return {};
    } catch (const B2DError &e) {
        showLineError(rt, e, procedure, kModule, line);
        return {};
    }
}

// One of the two reference-code prompts: mandatory, upper-cased, remembered under `key`.
QString askReference(Runtime &rt, const QString &procedure, const QString &key,
                     const QString &prompt, const QString &title, const QString &question,
                     const QString &defaultValue, int &line)
{
    QString answer;
    do {
        line = 30;
        answer = rt.boxes.input(prompt, title, defaultValue).toUpper();
        if (answer.trimmed().isEmpty()) {
            line = 40;
            askCancel(rt, question);
        }
    } while (answer.trimmed().isEmpty());
    line = 50;
    SetDataTODB(rt, key, answer);
    return answer;
}

}  // namespace

QString GetDataFromDB(Runtime &rt, const QString &key)
{
    QString result;
    int line = 10;
    try {
        const QString column = readColumn(key);
        if (column.isEmpty())
            return result;
        line = 20;
        const QString sql = QStringLiteral("Select ") + column
            + QStringLiteral(" From Caratula_Caratula Where Despacho = '") + sqlQuote(rt.Despacho)
            + QStringLiteral("'");
        Recordset rs;
        if (openQuery(rt, kHistorial, sql, rs)) {
            line = 30;
            // Every row in turn: the last one wins.
            for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
                result = EsNulo(rs.field(0));
        }
        return result;
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("GetDataFromDB"), kModule, QString::number(line));
        return result;
    }
}

void SetDataTODB(Runtime &rt, const QString &key, const QString &value)
{
    int line = 10;
    try {
        if (rt.Despacho.isEmpty())
            throw B2DError(ErrNo::Database, QStringLiteral("SetDataTODB"),
                           QStringLiteral("No hay despacho seleccionado"));
        line = 20;
        const QString sql = updateStatement(key, value, rt.Despacho);
        if (sql.isEmpty())
            throw B2DError(ErrNo::Database, QStringLiteral("SetDataTODB"),
                           QStringLiteral("Dato no admitido: ") + key);
        line = 30;
        Connection &c = rt.db.getDataConnectionByEntity(kHistorial);
        c.sql = sql;
        if (!c.ejecutar())
            throw B2DError(ErrNo::Database, QStringLiteral("RecordGate.RGMain"), c.lastError());
    } catch (const B2DError &) {
        rt.boxes.inform(QStringLiteral("No se pudo guardar [") + value + QStringLiteral("] en [") + key
                            + QStringLiteral("] en la base de datos: Despacho = [") + rt.Despacho
                            + QStringLiteral("]") + QLatin1Char('\n') + QStringLiteral("SetDataTODB")
                            + QString::number(line),
                        BoxIcon::Critical, Runtime::appTitle());
    }
}

QString ObtenerCANAL(Runtime &rt)
{
    QString value;
    int line = 10;
    try {
        const QString defaultValue = GetDataFromDB(rt, QStringLiteral("Canal"));
        do {
            line = 20;
            const QString answer = rt.boxes.input(QStringLiteral("Ingrese CANAL / DECLARATION CHANNEL"),
                                                  QStringLiteral("CANAL Despacho"), defaultValue)
                                       .toUpper();
            line = 30;
            bool encontrado = false;
            value = GetVariosRelacion(rt, QStringLiteral("Canal"), answer, encontrado);
            if (value.trimmed().isEmpty()) {
                if (!rt.cfg.REQCANALYFECHAS)
                    break;  // an empty channel is accepted
                line = 40;
                askCancel(rt, QStringLiteral("No ingresó CANAL o el dato ingresado no fue válido, desea cancelar?"));
            }
            // A channel the relation does not know is asked again.
            if (!encontrado)
                value.clear();
        } while (value.isEmpty());
        line = 50;
        SetDataTODB(rt, QStringLiteral("Canal"), value);
        return value;
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("ObtenerCANAL"), kModule, QString::number(line));
        return {};
    }
}

QString ObtenerProcessReferenceCode(Runtime &rt, QString &defaultValue)
{
    int line = 10;
    try {
        defaultValue = defaultValue.trimmed();
        if (defaultValue.isEmpty()) {
            // The operation's waybill reference code, found by the declaration's own interno.
            line = 20;
            Recordset rs;
            if (openQuery(rt, kInternos,
                          QStringLiteral("Select WaybillReferenceCode from IntN Where Intnro = '")
                              + sqlQuote(GetDataFromDB(rt, QStringLiteral("BrokerRC"))) + QStringLiteral("'"),
                          rs))
                defaultValue = EsNulo(rs.field(QStringLiteral("WaybillReferenceCode")));
        }
        return askReference(rt, QStringLiteral("ObtenerProcessReferenceCode"), QStringLiteral("ProcessRC"),
                            QStringLiteral("Ingresar la informacion de 'ProcessReferenceCode',")
                                + QLatin1Char('\n') + QStringLiteral("(waybillReferenceCode)")
                                + QLatin1Char('\n') + QStringLiteral("INTERNO DVN"),
                            QStringLiteral("ProcessReferenceCode(waybillReferenceCode)"),
                            QStringLiteral("No ingreso 'ProcessReferenceCode'(waybillReferenceCode), desea cancelar?"),
                            defaultValue, line);
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("ObtenerProcessReferenceCode"), kModule, line);
        return {};
    }
}

QString ObtenerBrokerReferenceCode(Runtime &rt, QString &defaultValue)
{
    int line = 10;
    try {
        defaultValue = defaultValue.trimmed();
        return askReference(rt, QStringLiteral("ObtenerBrokerReferenceCode"), QStringLiteral("BrokerRC"),
                            QStringLiteral("Ingresar la informacion de 'BrokerReferenceCode',")
                                + QLatin1Char('\n') + QStringLiteral("(waybillReferenceCode)")
                                + QLatin1Char('\n') + QStringLiteral("INTERNO BROKER"),
                            QStringLiteral("BrokerReferenceCode(waybillReferenceCode)"),
                            QStringLiteral("No ingreso 'BrokerReferenceCode'(waybillReferenceCode), desea cancelar?"),
                            defaultValue, line);
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("ObtenerBrokerReferenceCode"), kModule, line);
        return {};
    }
}

QString ObtenerFechaLiberacion(Runtime &rt)
{
    return askDate(rt, QStringLiteral("ObtenerFechaLiberacion"), QStringLiteral("FechaLIB"),
                   QStringLiteral("Ingrese FECHA LIBERACION "), QStringLiteral("LIBERACION"),
                   QStringLiteral("Ingresò fecha de liberaciòn invàlida, desea cancelar?"));
}

QString ObtenerFechaCumplido(Runtime &rt)
{
    return askDate(rt, QStringLiteral("ObtenerFechaCumplido"), QStringLiteral("FechaCumplido"),
                   QStringLiteral("Ingrese FECHA CUMPLIDO "), QStringLiteral("CUMPLIDO"),
                   QStringLiteral("Ingresò fecha de cumplido invàlida, desea cancelar?"));
}

QString ObtenerFechaPago(Runtime &rt)
{
    return askDate(rt, QStringLiteral("ObtenerFechaPago_Error"), QStringLiteral("FechaPago"),
                   QStringLiteral("Ingrese FECHA PAGO "), QStringLiteral("PAGO"),
                   QStringLiteral("Ingresò Fecha Pago invàlida, desea cancelar?"));
}

QString ObtenerNombreArchivo(Runtime &rt)
{
    int line = 10;
    try {
        QString answer;
        do {
            line = 20;
            answer = rt.boxes.input(QStringLiteral("Ingrese Nombre del Archivo a generar,") + QLatin1Char('\n')
                                        + QStringLiteral("formato ####-## (Ej. 0055-09)"),
                                    QStringLiteral("Generar Archivo"), QString());
            if (answer.trimmed().isEmpty()) {
                line = 30;
                // Giving up here leaves the generation going: the caller names the file without it.
                askCancel(rt, QStringLiteral("No ingreso nombre de Archivo a Generar, Desea Cancelar?"), false);
            }
        } while (answer.trimmed().isEmpty());
        return answer;
    } catch (const B2DError &e) {
        showLineError(rt, e, QStringLiteral("ObtenerNombreArchivo"), kModule, line);
        return {};
    }
}

QString ObtenerCuitDespachante(Runtime &rt)
{
    const QString code = GetDataFromDB(rt, QStringLiteral("BrokerRC"));
    if (code.isEmpty())
        return {};
    Recordset rs;
    if (!openQuery(rt, kInternos,
                   QStringLiteral("Select cuitdespaduana From caratula Where interno = '") + sqlQuote(code)
                       + QStringLiteral("'"),
                   rs))
        return {};
    const QVariant v = rs.field(QStringLiteral("cuitdespaduana"));
    // A CUIT held as a number is read with all its digits, never in exponent form.
    QString cuit;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        cuit = QString::number(v.toLongLong());
        break;
    default:
        cuit = EsNulo(v).trimmed();
    }
    return cuit.mid(0, 2) + QLatin1Char('-') + cuit.mid(2, 8) + QLatin1Char('-') + cuit.mid(10, 1);
}

}  // namespace b2d
