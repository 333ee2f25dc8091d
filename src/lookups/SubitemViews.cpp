#include "lookups/SubitemViews.h"

#include "data/DataAccess.h"
#include "data/SuffixSorter.h"
#include "runtime/Queries.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kInternos = QStringLiteral("INTERNOS");
const QString kHistorial = QStringLiteral("HISTORIAL");

using Column = SubitemView::Column;

// Fills the view's rows from its statement: the named columns of every record as text, the
// suffix column passed through `suffixes`.
void load(Runtime &rt, SubitemView &view, const QString &entity, const QString &sql,
          const QStringList &fields, QString (*suffixes)(const QString &) = nullptr)
{
    Recordset rs;
    if (!openListQuery(rt, entity, sql, rs))
        return;
    while (!rs.EOF_()) {
        QStringList cells;
        for (const QString &f : fields)
            cells << EsNulo(rs.field(f));
        if (suffixes)
            cells[view.suffixColumn] = suffixes(cells.at(view.suffixColumn));
        view.rows << cells;
        rs.MoveNext();
    }
    rs.Close();
}

}  // namespace

SubitemView CargarDatos_CargaSubItem(Runtime &rt, const QString &interno)
{
    SubitemView view{QStringLiteral("MSFG_CRGS"),
                     QStringLiteral("Subitems cargados"),
                     {{QStringLiteral("ITEM"), 800},
                      {QStringLiteral("SUBITEM"), 800},
                      {QStringLiteral("ARTICULO"), 2000},
                      {QStringLiteral("DESCRIPCION"), 4000},
                      {QStringLiteral("SUFIJOS"), 8000}},
                     4,
                     {}};
    load(rt, view, kInternos,
         QStringLiteral("Select ' ' as ITEM, id as SUBITEM ,idarticulo as ARTICULO,descripcion as "
                        "DESCRIPCION, sufijos as SUFIJOS  From Subitems Where ")
             + QStringLiteral(" interno = '") + sqlQuote(interno) + QStringLiteral("' order by ID"),
         {QStringLiteral("Item"), QStringLiteral("Subitem"), QStringLiteral("ARTICULO"),
          QStringLiteral("DESCRIPCION"), QStringLiteral("Sufijos")});
    return view;
}

SubitemView CargarDatos_GroupSubItem(Runtime &rt, const QString &interno)
{
    SubitemView view{QStringLiteral("MSFG_GRP_CALDRA"),
                     QStringLiteral("Subitems agrupados"),
                     {{QStringLiteral("ITEM"), 800},
                      {QStringLiteral("ARTICULO"), 2000},
                      {QStringLiteral("DESCRIPCION"), 4000},
                      {QStringLiteral("SUFIJOS"), 8000}},
                     3,
                     {}};
    load(rt, view, kInternos,
         QStringLiteral("Select id as ITEM, idarticulo as ARTICULO,descripcion as DESCRIPCION, "
                        "sufijos as SUFIJOS  From GroupSubitems Where ")
             + QStringLiteral(" interno = '") + sqlQuote(interno) + QStringLiteral("' order by ID"),
         {QStringLiteral("Item"), QStringLiteral("ARTICULO"), QStringLiteral("DESCRIPCION"),
          QStringLiteral("Sufijos")});
    return view;
}

SubitemView CargarDatos_Maria(Runtime &rt, const QString &interno)
{
    SubitemView view{QStringLiteral("MSFG_MARIA"),
                     QStringLiteral("Subitems oficializados"),
                     {{QStringLiteral("ITEM"), 800},
                      {QStringLiteral("SUBITEM"), 800},
                      {QStringLiteral("ARTICULO"), 1500},
                      {QStringLiteral("DESCRIPCION"), 4000},
                      {QStringLiteral("SUFIJOS"), 8000}},
                     4,
                     {}};
    load(rt, view, kHistorial,
         QStringLiteral("Select IDN_ITEM as ITEM, NRO_SUBITEM as SUBITEM , INDICADOR_PROPIO as "
                        "ARTICULO, ' ' as DESCRIPCION, sufijos_de_valor as SUFIJOS  From "
                        "items_subitems Where ")
             + QStringLiteral(" IDN_DESPACHO = '") + sqlQuote(Get_NroOfic(rt, interno))
             + QStringLiteral("' order by ITEM,SUBITEM"),
         {QStringLiteral("Item"), QStringLiteral("Subitem"), QStringLiteral("ARTICULO"),
          QStringLiteral("DESCRIPCION"), QStringLiteral("Sufijos")},
         &ordenarsufijos);
    return view;
}

QString Get_NroOfic(Runtime &rt, const QString &interno)
{
    Recordset rs;
    if (!openListQuery(rt, kHistorial,
                       QStringLiteral("Select DESPACHO From CARATULA_CARATULA Where "
                                      "IDENTIFICADOR_PROPIO = '")
                           + sqlQuote(interno) + QLatin1Char('\''),
                       rs))
        return {};
    rs.MoveLast();
    const QString despacho = EsNulo(rs.field(QStringLiteral("DESPACHO")));
    rs.Close();
    return despacho;
}

QList<SubitemView> subitemViews(Runtime &rt, const QString &interno)
{
    if (interno.isEmpty())
        return {};
    return {CargarDatos_CargaSubItem(rt, interno), CargarDatos_GroupSubItem(rt, interno),
            CargarDatos_Maria(rt, interno)};
}

}  // namespace b2d
