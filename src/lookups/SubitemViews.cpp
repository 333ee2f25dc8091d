#include "lookups/SubitemViews.h"

#include "data/DataAccess.h"
#include "data/SuffixSorter.h"
#include "runtime/Queries.h"
#include "values/Values.h"

namespace b2d {

namespace {

const QString kInternos = QStringLiteral("INTERNOS");
const QString kHistorial = QStringLiteral("HISTORIAL");

// One table of the viewer: its grid, its statement (head + quoted key + tail, on `entity`) and
// the columns it reads.
struct ViewDef {
    SubitemView view;  // grid, title, columns and suffix column; no rows
    QString entity;
    QString head;
    QString tail;
    QStringList fields;
    bool canonicalSuffixes;
};

const QList<ViewDef> &viewDefs()
{
    using C = SubitemView::Column;
    static const QList<ViewDef> defs{
        {{QStringLiteral("MSFG_CRGS"),
          QStringLiteral("Subitems cargados"),
          {C{QStringLiteral("ITEM"), 800}, C{QStringLiteral("SUBITEM"), 800}, C{QStringLiteral("ARTICULO"), 2000},
           C{QStringLiteral("DESCRIPCION"), 4000}, C{QStringLiteral("SUFIJOS"), 8000}},
          4,
          {}},
         kInternos,
         QStringLiteral("Select ' ' as ITEM, id as SUBITEM ,idarticulo as ARTICULO,descripcion as "
                        "DESCRIPCION, sufijos as SUFIJOS  From Subitems Where  interno = '"),
         QStringLiteral("' order by ID"),
         {QStringLiteral("Item"), QStringLiteral("Subitem"), QStringLiteral("ARTICULO"),
          QStringLiteral("DESCRIPCION"), QStringLiteral("Sufijos")},
         false},
        {{QStringLiteral("MSFG_GRP_CALDRA"),
          QStringLiteral("Subitems agrupados"),
          {C{QStringLiteral("ITEM"), 800}, C{QStringLiteral("ARTICULO"), 2000},
           C{QStringLiteral("DESCRIPCION"), 4000}, C{QStringLiteral("SUFIJOS"), 8000}},
          3,
          {}},
         kInternos,
         QStringLiteral("Select id as ITEM, idarticulo as ARTICULO,descripcion as DESCRIPCION, "
                        "sufijos as SUFIJOS  From GroupSubitems Where  interno = '"),
         QStringLiteral("' order by ID"),
         {QStringLiteral("Item"), QStringLiteral("ARTICULO"), QStringLiteral("DESCRIPCION"),
          QStringLiteral("Sufijos")},
         false},
        {{QStringLiteral("MSFG_MARIA"),
          QStringLiteral("Subitems oficializados"),
          {C{QStringLiteral("ITEM"), 800}, C{QStringLiteral("SUBITEM"), 800}, C{QStringLiteral("ARTICULO"), 1500},
           C{QStringLiteral("DESCRIPCION"), 4000}, C{QStringLiteral("SUFIJOS"), 8000}},
          4,
          {}},
         kHistorial,
         QStringLiteral("Select IDN_ITEM as ITEM, NRO_SUBITEM as SUBITEM , INDICADOR_PROPIO as "
                        "ARTICULO, ' ' as DESCRIPCION, sufijos_de_valor as SUFIJOS  From "
                        "items_subitems Where  IDN_DESPACHO = '"),
         QStringLiteral("' order by ITEM,SUBITEM"),
         {QStringLiteral("Item"), QStringLiteral("Subitem"), QStringLiteral("ARTICULO"),
          QStringLiteral("DESCRIPCION"), QStringLiteral("Sufijos")},
         true},
    };
    return defs;
}

// Runs a table's statement for `key` and reads its rows: the named columns of every record as
// text, the official suffixes in the sorter's order.
SubitemView load(Runtime &rt, const ViewDef &def, const QString &key)
{
    SubitemView view = def.view;
    Recordset rs;
    if (!openCheckedQuery(rt, def.entity, def.head + sqlQuote(key) + def.tail, rs))
        return view;
    for (; !rs.EOF_(); rs.MoveNext()) {
        QStringList cells;
        for (const QString &f : def.fields)
            cells << EsNulo(rs.field(f));
        if (def.canonicalSuffixes)
            cells[view.suffixColumn] = ordenarsufijos(cells.at(view.suffixColumn));
        view.rows << cells;
    }
    rs.Close();
    return view;
}

}  // namespace

SubitemView CargarDatos_CargaSubItem(Runtime &rt, const QString &interno)
{
    return load(rt, viewDefs().at(0), interno);
}

SubitemView CargarDatos_GroupSubItem(Runtime &rt, const QString &interno)
{
    return load(rt, viewDefs().at(1), interno);
}

SubitemView CargarDatos_Maria(Runtime &rt, const QString &interno)
{
    return load(rt, viewDefs().at(2), Get_NroOfic(rt, interno));
}

QString Get_NroOfic(Runtime &rt, const QString &interno)
{
    Recordset rs;
    if (!openCheckedQuery(rt, kHistorial,
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
