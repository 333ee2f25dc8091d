#include "import/ReferenceCodeDetail.h"

#include "data/DataAccess.h"
#include "declaration/Prompts.h"
#include "declaration/SubitemLookups.h"
#include "import/DiLicence.h"
#include "import/ImportCommon.h"
#include "lookups/Operations.h"
#include "platform/Boxes.h"
#include "runtime/Errors.h"
#include "runtime/Numbers.h"
#include "runtime/Queries.h"
#include "runtime/RunLog.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kInternos = QStringLiteral("INTERNOS");
const QString kProcedure = QStringLiteral("GetIMPOTag_productReferenceCodeDetail");

QString text(const Recordset &rs, const char *column)
{
    return EsNulo(rs.field(QLatin1String(column)));
}

// The lines of the licence that the official item cancels, loaded under the process interno.
QString consultaLicencia(Runtime &rt, const Recordset &item, const Recordset &subitem,
                         const QString &processRC, bool &itemCompleto)
{
    const QString itemCancela = text(item, "NRO_ITEM_A_CANCELAR");
    itemCompleto = ExisteCancelaItemCompleto(rt, itemCancela, processRC);
    const QString subitemLicencia = itemCompleto ? QStringLiteral("0000") : text(subitem, "NRo_subitem");
    return QStringLiteral("Select ARTNRO as IDARTICULO, ITEMREFERENCECODE as OTROS, ARTCAN as CANTIDAD, "
                          "ARTNRO2 as CODARTALTERNATIVO, ARTORD as IDEXT,")
        + QStringLiteral(" ART_ITS,ARTFAC as FACTURA_NRO,ARTDSC as DESCRIPCION , "
                         "DECLARACION_CANCELA,ITEM_CANCELA,SUBITEM_CANCELA as NROSUBITEM ")
        + QStringLiteral("FROM ART ") + QStringLiteral("WHERE INTNRO = '") + sqlQuote(processRC)
        + QStringLiteral("' AND ") + QStringLiteral("DECLARACION_CANCELA='")
        + sqlQuote(text(item, "DECLARACION_A_CANCELAR")) + QStringLiteral("' AND ")
        + QStringLiteral("ITEM_CANCELA='") + sqlQuote(itemCancela) + QStringLiteral("' AND ")
        + QStringLiteral("SUBITEM_CANCELA='") + sqlQuote(subitemLicencia) + QStringLiteral("' ")
        + QStringLiteral("Order by ITEM_CANCELA ,SUBITEM_CANCELA");
}

// Which article statement answers for the subitem; "" when the DI carries no licence data.
QString consultaArticulos(Runtime &rt, const Recordset &item, const Recordset &subitem,
                          const QString &interno, const QString &processRC, bool &itemCompleto)
{
    if (rt.cfg.OMITIRRELACIONDJDI)
        return consultaLicencia(rt, item, subitem, processRC, itemCompleto);
    if (processRC == interno)
        return GetSubitemsQueryByGroup(rt, item, subitem, interno);
    bool tieneInfoDJAI = false;
    if (!ExisteDI(rt, GetDataFromDB(rt, QStringLiteral("ProcessRC")), tieneInfoDJAI))
        return articulosDeSubitem(interno, text(item, "NRo_item"), text(subitem, "NRo_subitem"));
    if (!tieneInfoDJAI)
        return {};
    return consultaLicencia(rt, item, subitem, processRC, itemCompleto);
}

void licenciaSinArticulos(Runtime &rt, const Recordset &item, const Recordset &subitem,
                          const QString &processRC)
{
    // Lines separated by a carriage return and a line feed; no title.
    const QString nl = QStringLiteral("\r\n");
    rt.boxes.inform(QStringLiteral("No se encontro en el archivo DI (") + processRC
                        + QStringLiteral(") la referencia al/los articulos ") + nl
                        + QStringLiteral("que se cancela/n en la [") + text(item, "DECLARACION_A_CANCELAR")
                        + QStringLiteral("] ITEM [") + text(item, "NRO_ITEM_A_CANCELAR") + QStringLiteral("]")
                        + nl + QStringLiteral("a la que hace referencia el [") + text(item, "IDN_DESPACHO")
                        + QStringLiteral("] ITEM [") + text(item, "NRo_item") + QStringLiteral("] SUBITEM [")
                        + text(subitem, "NRo_subitem") + QStringLiteral("]") + nl
                        + QStringLiteral("La generacion del archivo de retorno se cancelará"),
                    BoxIcon::Critical, QString());
}

// The product reference code of a fully matched article. False (flag set) when the interno the
// DI requires is missing and the generation must stop.
bool codigoReferencia(Runtime &rt, const Recordset &articulos, const QString &interno,
                      const QString &processRC, bool sinSubitems, QString &codigo)
{
    const QString otros = text(articulos, "OTROS");
    if (!sinSubitems)
        rt.log.EscribirLog(QStringLiteral("valor bCFG_ReqDI_Impo: ") + EsNulo(rt.cfg.REQDIIMPO));
    codigo = otros;
    bool tieneInfoDJAI = false;
    const RequisitoDI requisito = requisitoDI(rt, interno, processRC, sinSubitems, tieneInfoDJAI);
    if (requisito != RequisitoDI::ConDI)
        return requisito == RequisitoDI::Cumplido;
    if (ExisteInternoEnCaldra(rt, processRC)) {
        rt.log.EscribirLog(QStringLiteral("pero tambien existe el interno en el CALDRA"));
        return true;
    }
    if (rt.cfg.OMITIRRELACIONDJDI)
        return true;
    if (tieneInfoDJAI) {
        if (!sinSubitems)
            codigo.clear();
        return true;
    }
    codigo = Get_ProcessReferenceCode_DI(rt, otros);
    return true;
}

QString detalle(const QString &cantidad, const QString &codigo, const QString &parte,
                const QString &djai, const QString &djaiItem, const QString &djaiSubitem,
                const QString &especificacion)
{
    return QStringLiteral("<productReferenceCodeDetail>")
        + xmlElement(QStringLiteral("productReferenceCodeQuantity"), cantidad)
        + xmlElement(QStringLiteral("productReferenceCodeID"), codigo)
        + xmlElement(QStringLiteral("productReferenceCodePartNumber"), parte)
        + xmlElement(QStringLiteral("productReferenceCodeDJAINumber"), djai)
        + xmlElement(QStringLiteral("productReferenceCodeDJAIItemNumber"), djaiItem)
        + xmlElement(QStringLiteral("productReferenceCodeDJAISubitemNumber"), djaiSubitem)
        + xmlElement(QStringLiteral("productReferenceCodeSpecification"), especificacion)
        + QStringLiteral("</productReferenceCodeDetail>");
}

}  // namespace

QString GetIMPOTag_productReferenceCodeDetail(Runtime &rt, const Recordset &item,
                                              const Recordset &subitem, const QString &interno,
                                              const QString &processRC, QStringList &articles,
                                              bool sinSubitems, Recordset &articulos,
                                              bool &itemCompleto)
{
    int line = 10;
    try {
        const QString sql = consultaArticulos(rt, item, subitem, interno, processRC, itemCompleto);

        line = 20;
        Recordset rs;
        if (sql.isEmpty() || !openQuery(rt, kInternos, sql, rs)) {
            if (rt.cfg.OMITIRRELACIONDJDI) {
                licenciaSinArticulos(rt, item, subitem, processRC);
                rt.generacionCancelada = true;
            }
            return {};
        }

        line = 30;
        traceDebug(rt, QStringLiteral("[IMPO] - ITEM: ") + text(item, "NRo_item")
                           + QStringLiteral(" SUBITEM: ") + text(subitem, "NRo_subitem")
                           + QStringLiteral(" agrupados ") + QString::number(rs.RecordCount())
                           + QStringLiteral(" arts."));

        // One article stands for the whole subitem: the caller writes it itself.
        if (rs.RecordCount() == 1) {
            articulos = rs;
            return {};
        }

        const char *columnaDeclarada = "CANTIDAD_DECLARADA";
        const Recordset &filaDeclarada = sinSubitems ? item : subitem;
        QString out;
        for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
            line = 40;
            if (rs.AbsolutePosition() == 1)
                articulos = rs;
            const double declarada = EsNumero(rt, text(filaDeclarada, columnaDeclarada));
            const double agrupada =
                GetCantidadSubitem(rt, item, text(rs, "NROSUBITEM"), interno);
            const QString resumen = QStringLiteral("] PRC: ") + text(rs, "OTROS")
                + QStringLiteral(" ART: ") + text(rs, "IDARTICULO") + QStringLiteral(" CantDVN: ")
                + text(rs, "CANTIDAD") + QStringLiteral(" CantSIM: ");

            if (declarada == agrupada) {
                line = 50;
                QString codigo;
                if (!codigoReferencia(rt, rs, interno, processRC, sinSubitems, codigo))
                    return {};
                out += detalle(text(rs, "CANTIDAD"), codigo, codigoArticulo(rt, rs),
                               text(item, "DECLARACION_A_CANCELAR"), text(item, "NRO_ITEM_A_CANCELAR"),
                               text(subitem, "referencia"), text(subitem, "SUFIJOS_DE_VALOR"));
                if (sinSubitems) {
                    if (articles.isEmpty())
                        articles << QString();
                    articles << text(rs, "IDEXT") + QStringLiteral("|||") + text(rs, "FACTURA_NRO");
                }
                traceDebug(rt, QLatin1Char('[') + ceros(text(rs, "NROSUBITEM"), 4) + resumen
                                   + text(filaDeclarada, columnaDeclarada));
            } else {
                line = 60;
                const QString codigo = Get_ProcessReferenceCode_DI(rt, text(rs, "OTROS"));
                const QString parte = codigoArticulo(rt, rs);
                out += detalle(sinSubitems ? QStringLiteral("No coinciden las cantidades")
                                           : QStringLiteral("No coinciden las cantidades declaradas"),
                               codigo, parte, {}, {}, {}, {});
                traceDebug(rt, QLatin1Char('[') + ceros(QString::number(rs.AbsolutePosition()), 3)
                                   + resumen + plainNumber(declarada) + QStringLiteral(" ERROR!!!"));
            }
        }
        return out;
    } catch (const B2DError &e) {
        reraise(e, ErrNo::Product, kProcedure, line);
    }
}

}  // namespace b2d
