#include "import/DiLicence.h"

#include "data/DataAccess.h"
#include "declaration/Prompts.h"
#include "import/ImportCommon.h"
#include "lookups/Operations.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <cmath>

namespace b2d {

namespace {

const QString kInternos = QStringLiteral("INTERNOS");
constexpr long kOverflow = 6;

QString text(const Recordset &rs, const char *column)
{
    return EsNulo(rs.field(QLatin1String(column)));
}

// The item number as the runtime's 16-bit integer: rounded half to even, an overflow beyond
// -32768..32767 and a type mismatch for a text that is not a number.
int enteroCorto(const QVariant &value)
{
    const NumberReading r = readNumberValue(EsNulo(value));
    if (r.kind != NumberKind::Number)
        throw B2DError(ErrNo::TypeMismatch, QLatin1String(kAppName),
                       QStringLiteral("Type mismatch"));
    const double rounded = std::nearbyint(r.value);  // the default rounding: half to even
    if (rounded < -32768 || rounded > 32767)
        throw B2DError(kOverflow, QLatin1String(kAppName), QStringLiteral("Overflow"));
    return int(rounded);
}

// "Select * From GroupSubitems Where INTERNO = '...' And ID = n And " — the common head of the
// grouping statements.
QString grupoHead(const Recordset &item, const QString &interno)
{
    return QStringLiteral("Select * From GroupSubitems ") + QStringLiteral("Where INTERNO = '")
        + sqlQuote(interno) + QStringLiteral("' And ") + QStringLiteral("ID = ")
        + QString::number(enteroCorto(item.field(QStringLiteral("NRo_item"))))
        + QStringLiteral(" And ");
}

void sinCoincidencia(Runtime &rt, const Recordset &item, const Recordset &subitem,
                     const QString &tag)
{
    rt.boxes.inform(QStringLiteral("No hay subitems coincidentes para el ITEM ") + text(item, "NRo_item")
                        + QStringLiteral("entre el CALDRA y el SIM , en el SUBITEM")
                        + text(subitem, "NRo_subitem") + tag,
                    BoxIcon::None, QString());
}

}  // namespace

bool ExisteDI(Runtime &rt, const QString &interno, bool &tieneInfoDJAI)
{
    bool existe = false;
    int line = 10;
    try {
        const QString sql = QStringLiteral("SELECT * ") + QStringLiteral("FROM ART ")
            + QStringLiteral("WHERE INTNRO = '") + sqlQuote(interno) + QLatin1Char('\'');
        Recordset rs;
        if (openQuery(rt, kInternos, sql, rs) && rs.RecordCount() > 0) {
            line = 20;
            existe = true;
            rs.MoveFirst();
            // Only the first article line tells whether the DI cancels a licence.
            if (!EsNulo(rs.field(QStringLiteral("DECLARACION_CANCELA"))).isEmpty())
                tieneInfoDJAI = true;
        }
    } catch (const B2DError &e) {
        showStandardError(rt, e, QStringLiteral("ExisteDI"), QStringLiteral("Mod_IMPO"),
                          QString::number(line));
    }
    return existe;
}

RequisitoDI requisitoDI(Runtime &rt, const QString &interno, const QString &processRC,
                        bool sinSubitems, bool &tieneInfoDJAI)
{
    if (!rt.cfg.REQDIIMPO)
        return RequisitoDI::Cumplido;
    if (ExisteDI(rt, GetDataFromDB(rt, QStringLiteral("ProcessRC")), tieneInfoDJAI)) {
        rt.log.EscribirLog(QStringLiteral("existeDI")
                           + (tieneInfoDJAI ? QStringLiteral("Tiene InfoDJAI")
                              : sinSubitems ? QStringLiteral("NO Tiene InfoDJAI")
                                            : QStringLiteral("NO TIENE InfoDJAI")));
        return RequisitoDI::ConDI;
    }
    if (ExisteInternoEnCaldra(rt, sinSubitems ? processRC : interno))
        return RequisitoDI::Cumplido;
    showMissingProcessInterno(rt, processRC);
    rt.generacionCancelada = true;
    return RequisitoDI::Cancelado;
}

QString Get_ProcessReferenceCode_DI(Runtime &rt, const QString &itrValue)
{
    rt.log.EscribirLog(QStringLiteral("entro Get_ProcessReferenceCode_DI  ITRValue: ") + itrValue);
    const QString prc = GetDataFromDB(rt, QStringLiteral("ProcessRC"));
    const QString brc = GetDataFromDB(rt, QStringLiteral("BrokerRC"));
    const QString sql =
        QStringLiteral("SELECT a.artNRO ,a.ART_ITS, a.itemReferenceCOde as ITR2, a.artCAN "
                       ",b.itemreferencecode as ITR1 ")
        + QStringLiteral("FROM ART A ,ART B ") + QStringLiteral("WHERE a.INTNRO = '") + sqlQuote(prc)
        + QStringLiteral("'")
        + QStringLiteral(" and (a.artNro = b.artNro or a.ART_ITS = b.artnro) and a.artcan = b.artcan")
        + QStringLiteral(" and b.INTNRO = '") + sqlQuote(brc) + QStringLiteral("'")
        + QStringLiteral(" and b.itemreferencecode =  '") + sqlQuote(itrValue)
        + QStringLiteral("' and a.dvn_orderitemitemnumber = b.dvn_orderitemitemnumber")
        + QStringLiteral(" and a.dvn_orderitemordernumber =  b.dvn_orderitemordernumber");
    Recordset rs;
    if (openQuery(rt, kInternos, sql, rs)) {
        if (rs.RecordCount() > 1)
            rt.boxes.inform(QStringLiteral("Error: ITRValue ") + itrValue + QStringLiteral(" devolvio ")
                                + QString::number(rs.RecordCount()) + QStringLiteral(" registros."),
                            BoxIcon::None, QString());
        rs.MoveFirst();
        const QString itr2 = text(rs, "ITR2");
        rt.log.EscribirLog(QStringLiteral("devolver de Get_ProcessReferenceCode_DI  el valor: ") + itr2);
        return itr2;
    }

    // A licence line without its DI equivalent: the return file cannot be made at all.
    const QString sentence = QStringLiteral("No se encontro equivalente al ITRC [") + itrValue
        + QStringLiteral("] de la DJAI [") + brc + QStringLiteral("] en la DI.[") + prc
        + QStringLiteral("]");
    rt.log.EscribirLog(sentence);
    // Lines separated by a carriage return and a line feed; no title.
    const QString crlf = QStringLiteral("\r\n");
    rt.boxes.inform(sentence + crlf + QStringLiteral("No se puede generar el archivo de retorno")
                        + crlf + QStringLiteral("Verifique que en Velmora este cargado la DJAI ")
                        + brc,
                    BoxIcon::Critical, QString());
    FinalizarPrograma(rt, sentence);
}

QString GetSubitemsQueryByGroup(Runtime &rt, const Recordset &item, const Recordset &subitem,
                                const QString &interno)
{
    const QString nroSubitem = text(subitem, "NRo_subitem");
    Recordset grupo;
    const QString sql = grupoHead(item, interno) + QStringLiteral("NROSUBITEM = '")
        + sqlQuote(nroSubitem) + QStringLiteral("'");
    if (!openQuery(rt, kInternos, sql, grupo) || grupo.RecordCount() != 1)
        return {};

    // The official quantity: the subitem's, or the item's for an item without subitems.
    const QString cantidadSubitem = text(subitem, "CANTIDAD_DECLARADA");
    const double declarada = EsNumero(rt, cantidadSubitem.isEmpty() ? text(item, "CANTIDAD_DECLARADA")
                                                                    : cantidadSubitem);
    const double agrupada = EsNumero(rt, text(grupo, "CANTIDAD"));

    QString elegido = nroSubitem;
    bool coincide = declarada == agrupada;
    if (coincide) {
        const double fobOficial = EsNumero(rt, nroSubitem == QLatin1String("0000")
                                                   ? text(item, "Monto_Fob_Div")
                                                   : text(subitem, "Monto_Fob"));
        coincide = fobOficial == EsNumero(rt, text(grupo, "FOB"));
    }
    if (!coincide) {
        // The grouping numbers its subitems its own way: find the one by its content.
        elegido = GetGroupSubitemByQuantity(rt, item, subitem, interno);
        if (elegido.isEmpty())
            return {};
    }

    return articulosDeSubitem(interno, text(item, "NRo_item"), elegido);
}

QString GetGroupSubitemByQuantity(Runtime &rt, const Recordset &item, const Recordset &subitem,
                                  const QString &interno)
{
    const QString head = grupoHead(item, interno);
    const QString cantidad =
        QStringLiteral("CANTIDAD = ") + plainNumber(EsNumero(rt, text(subitem, "CANTIDAD_DECLARADA")));

    Recordset grupo;
    if (!openQuery(rt, kInternos, head + cantidad, grupo)) {
        sinCoincidencia(rt, item, subitem, QStringLiteral("[L1: CANTIDAD_DECLARADA]"));
        return {};
    }
    if (grupo.RecordCount() == 1)
        return text(grupo, "NROSUBITEM");

    // Several grouped subitems of that quantity: the FOB decides.
    const QString fob =
        QStringLiteral("FOB = ") + plainNumber(EsNumero(rt, text(subitem, "Monto_Fob")));
    if (!openQuery(rt, kInternos, head + cantidad + QStringLiteral(" AND ") + fob, grupo)) {
        sinCoincidencia(rt, item, subitem, QStringLiteral("[L2: MONTO_FOB]"));
        return {};
    }
    return grupo.RecordCount() == 1 ? text(grupo, "NROSUBITEM") : QString();
}

QString articulosDeSubitem(const QString &interno, const QString &item, const QString &subitem)
{
    return QStringLiteral("SELECT Idarticulo , otros, cantidad, CodArtAlternativo, idext, "
                          "factura_nro, descripcion , NROSUBITEM From SUBITEMS ")
        + QStringLiteral("WHERE Interno = '") + sqlQuote(interno) + QStringLiteral("' And ")
        + QStringLiteral("NroITEM = '") + sqlQuote(item) + QStringLiteral("' And ")
        + QStringLiteral("NroSUBITEM = '") + sqlQuote(subitem) + QStringLiteral("'")
        + QStringLiteral(" Order by OTROS ");
}

bool ExisteCancelaItemCompleto(Runtime &rt, const QString &item, const QString &interno)
{
    Recordset rs;
    return openQuery(rt, kInternos,
                     QStringLiteral("Select subitem_cancela from ART where INTNRO = '") + sqlQuote(interno)
                         + QStringLiteral("' AND ITEM_CANCELA = '") + sqlQuote(item)
                         + QStringLiteral("' AND SUBITEM_CANCELA ='0000'"),
                     rs);
}

}  // namespace b2d
