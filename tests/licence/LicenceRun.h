#pragma once

#include "support/TestSupport.h"

#include <QDir>

namespace b2d::test {

// A licence whose databases the recording data component answers: one header row of licence
// 13073DJAI012345K (officialised 31/01/2013 16:20, in dollars, broker reference 2013/455), its
// parties, and one item without declared subitems whose one subitem has one article, with both
// complementary dates. Tests override what they need: the last script wins.
struct LicenceRun : TestRun {
    inline static const QString H = QStringLiteral("HISTORIAL");
    inline static const QString I = QStringLiteral("INTERNOS");

    LicenceRun()
    {
        rt.Despacho = QStringLiteral("13073DJAI012345K");
        rt.cfg.PREFIJO = QStringLiteral("XY");
        rt.cfg.PAISESSIM = true;
        rt.cfg.PAISESDESCRIPCION = true;
        out = dir.path() + QStringLiteral("/out/");
        QDir().mkpath(out);
        rt.cfg.RUTAGENXML = out;

        header = {{"DESPACHO", QStringLiteral("13073DJAI012345K")},
                  {"COD_ADUANA", QStringLiteral("073")},
                  {"IDENTIFICADOR_PROPIO", QStringLiteral("2013/455")},
                  {"FECHA_OFICIALIZACION", QStringLiteral("2013-01-31 16:20:00")},
                  {"ESTADO_DECLARACION", QStringLiteral("OFIC")},
                  {"MEDIO_TRANSPORTE", QStringLiteral("4")},
                  {"CONDICION_VENTA", QStringLiteral("FOB")},
                  {"DIVISA_FOB", QStringLiteral("DOL")},
                  {"DIVISA_FLETE", QStringLiteral("DOL")},
                  {"DIVISA_SEGURO", QStringLiteral("DOL")},
                  {"MONTO_FOB", 1234.5},
                  {"MONTO_FLETE", 80.0},
                  {"MONTO_SEGURO", 12.125},
                  {"COTIZACION_PAGOS", 4.98765432}};
        scriptHeader();

        item = {{"NRO_ITEM", QStringLiteral("0001")},
                {"POSICION_ARANCELARIA", QStringLiteral("8471.30.12.100A")},
                {"UNIDAD_DECLARADA", QStringLiteral("07")},
                {"CANTIDAD_DECLARADA", 10.0},
                {"PRECIO_UNITARIO", 123.45},
                {"MONTO_FOB_DIV", 1234.5},
                {"ESTADO_MERCADERIA", QStringLiteral("2")},
                {"PESO_NETO_KGR", 55.5},
                {"PAIS_ORIGEN", QStringLiteral("310")},
                {"PAIS_PROCEDENCIA", QStringLiteral("203")},
                {"MONTO_FLETE", 80.0},
                {"MONTO_SEGURO", 12.125},
                {"EXISTENCIA_SUBITEM", QStringLiteral("N")},
                {"VALOR_CIF_ITEM", 1326.625},
                {"BID", 1326.625},
                {"AAI", 0.0},
                {"AAD", 0.0}};
        scriptItems();

        data.onContains(H, QStringLiteral("Select PAIS_ORIGEN From ITEMS_ARTICULOS"),
                        rows({QStringLiteral("PAIS_ORIGEN")}, {{QStringLiteral("310")}}));
        data.onContains(H, QStringLiteral("Select PAIS_PROCEDENCIA From ITEMS_ARTICULOS"),
                        rows({QStringLiteral("PAIS_PROCEDENCIA")}, {{QStringLiteral("203")}}));
        data.onContains(H, QStringLiteral("From RelacionPaises Where IDSIM ='310'"),
                        rows({QStringLiteral("IDISO")}, {{QStringLiteral("CN")}}));
        data.onContains(H, QStringLiteral("From RelacionPaises Where IDSIM ='203'"),
                        rows({QStringLiteral("IDISO")}, {{QStringLiteral("BR")}}));
        data.onContains(H, QStringLiteral("From RelacionMonedas Where IDSIM ='060'"),
                        rows({QStringLiteral("IDISO")}, {{QStringLiteral("EUR")}}));
        data.onContains(I, QStringLiteral("from aduana Where Id = '073'"),
                        rows({QStringLiteral("descripcion")}, {{QStringLiteral("CORDOBA")}}));
        data.onContains(H, QStringLiteral("as TotalDollarPrice"),
                        rows({QStringLiteral("TotalDollarPrice")}, {{1234.5}}));
        data.onContains(I, QStringLiteral("From requestentitydvn"),
                        rows(partyColumns(), {{QStringLiteral("IMPORTER"), QStringLiteral("30-1"),
                                               QStringLiteral("Pérez, Juan & Cía"), QStringLiteral("AR"),
                                               QStringLiteral("Calle 1 & 2"), QStringLiteral("Córdoba"),
                                               QString(), QStringLiteral("X5000"), QVariant()}}));
        data.onContains(QStringLiteral("NCM"), QStringLiteral("from ncm where"),
                        rows({QStringLiteral("desc1"), QStringLiteral("desc2"), QStringLiteral("desc3"),
                              QStringLiteral("desc4")},
                             {{QStringLiteral("MAQUINAS-AUTOMATICAS"), QStringLiteral("P/PROC."),
                               QString(), QString()}}));
        complementary("0001", "DJAI-FECHA-EMBAR", QStringLiteral("15/02/2013"));
        complementary("0001", "DJAI-FECHA-ARRIB", QStringLiteral("2013-03-20"));
        complementary("0001", "DJAI-DESC-MERC01", QStringLiteral("Notebooks, 14\""));
        data.onContains(H, QStringLiteral("FROM ITEMS_SUBITEMS"),
                        rows({QStringLiteral("NRO_SUBITEM"), QStringLiteral("IDN_ITEM"),
                              QStringLiteral("CANTIDAD_DECLARADA"), QStringLiteral("PRECIO_UNITARIO"),
                              QStringLiteral("MONTO_FOB_DOL"), QStringLiteral("MONTO_FOB"),
                              QStringLiteral("SUFIJOS_DE_VALOR"), QStringLiteral("REFERENCIA")},
                             {{QStringLiteral("0000"), 1, 10.0, 123.45, 1234.5, 1234.5,
                               QStringLiteral("AB(NB) AA(BW)"), QVariant()}}));
        data.onContains(I, QStringLiteral("CodArtAlternativo  From SUBITEMS"),
                        rows({QStringLiteral("Idarticulo"), QStringLiteral("otros"),
                              QStringLiteral("cantidad"), QStringLiteral("CodArtAlternativo")},
                             {{QStringLiteral("NB-14"), QStringLiteral("ITR-1"), 10.0, QVariant()}}));
        data.onContains(I, QStringLiteral("SUM(CANTIDAD) as CANTIDAD"),
                        rows({QStringLiteral("CANTIDAD")}, {{10.0}}));
    }

    static QStringList partyColumns()
    {
        return {QStringLiteral("entityType"), QStringLiteral("entityReferenceCode"),
                QStringLiteral("entityName"), QStringLiteral("entityCountry"),
                QStringLiteral("entityAddress"), QStringLiteral("entityCity"),
                QStringLiteral("entityState"), QStringLiteral("entityPostalCode"),
                QStringLiteral("entityPhone")};
    }

    void complementary(const char *item, const char *code, const QVariant &value)
    {
        data.onContains(H, QStringLiteral("IDN_ITEM  = '%1' and Codigo = '%2'")
                               .arg(QLatin1String(item), QLatin1String(code)),
                        rows({QStringLiteral("Valor")}, {{value}}));
    }

    // The header rows of the licence: this row, and `extra` rows after it.
    void scriptHeader(const QList<QVariantList> &extra = {})
    {
        QList<QVariantList> values{columnValues(header)};
        values += extra;
        data.onContains(H, QStringLiteral("Select * From caratula_caratula where despacho = '"),
                        rows(columnNames(header), values));
    }
    void setHeader(const char *column, const QVariant &value)
    {
        set(header, column, value);
        scriptHeader();
    }

    // The item rows: this row, and `extra` rows after it.
    void scriptItems(const QList<QVariantList> &extra = {})
    {
        QList<QVariantList> values{columnValues(item)};
        values += extra;
        data.onContains(H, QStringLiteral("ORDER BY NRO_ITEM"), rows(columnNames(item), values));
    }
    void setItem(const char *column, const QVariant &value)
    {
        set(item, column, value);
        scriptItems();
    }

    QStringList writes() const { return data.writes(); }
    QStringList files() const { return QDir(out).entryList(QDir::Files | QDir::Hidden); }

    using Columns = QList<QPair<const char *, QVariant>>;
    static QStringList columnNames(const Columns &columns)
    {
        QStringList names;
        for (const auto &c : columns)
            names << QLatin1String(c.first);
        return names;
    }
    static QVariantList columnValues(const Columns &columns)
    {
        QVariantList values;
        for (const auto &c : columns)
            values << c.second;
        return values;
    }
    static void set(Columns &columns, const char *column, const QVariant &value)
    {
        for (auto &c : columns)
            if (qstrcmp(c.first, column) == 0) {
                c.second = value;
                return;
            }
        columns.append({column, value});
    }

    Columns header;
    Columns item;
    QString out;
};

// The text between the first `<tag>` and its end tag in `doc` (empty when missing).
inline QString element(const QString &doc, const QString &tag, int from = 0)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const qsizetype start = doc.indexOf(open, from);
    if (start < 0)
        return QStringLiteral("<missing>");
    const qsizetype end = doc.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), start);
    return doc.mid(start + open.size(), end - start - open.size());
}

// The text of every `<tag>` element of `doc`, in order.
inline QStringList elements(const QString &doc, const QString &tag)
{
    QStringList values;
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    for (qsizetype at = doc.indexOf(open); at >= 0; at = doc.indexOf(open, at + 1))
        values << element(doc, tag, int(at));
    return values;
}

}  // namespace b2d::test
