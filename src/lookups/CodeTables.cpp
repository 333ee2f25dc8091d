#include "lookups/CodeTables.h"

#include <QList>
#include <utility>

namespace b2d {

QString ObtenerDescripcionEstado(const QString &code)
{
    static const QList<std::pair<QString, QString>> table = {
        {QStringLiteral("OFIC"), QStringLiteral("OFICIALIZADA")},
        {QStringLiteral("SALI"), QStringLiteral("SALIDA")},
        {QStringLiteral("O"), QStringLiteral("OBSERVADA")},
        {QStringLiteral("CANC"), QStringLiteral("CANCELADA")},
        {QStringLiteral("A"), QStringLiteral("ANULADA")},
        {QStringLiteral("AUTO"), QStringLiteral("AUTORIZADA PARCIALMENTE")},
    };
    for (const auto &[c, text] : table)
        if (code == c)
            return text;
    return code;
}

QString ObtenerDescripcionCondicion(const QString &code)
{
    static const QList<std::pair<QString, QString>> table = {
        {QStringLiteral("1"), QStringLiteral("NUEVO SIN USO ARGENTINO")},
        {QStringLiteral("2"), QStringLiteral("NUEVO SIN USO IMPORTADO")},
        {QStringLiteral("3"), QStringLiteral("USADO ARGENTINO")},
        {QStringLiteral("4"), QStringLiteral("USADO IMPORTADO")},
        {QStringLiteral("5"), QStringLiteral("SIN USO ARGENTINO")},
        {QStringLiteral("6"), QStringLiteral("SIN USO IMPORTADO")},
    };
    for (const auto &[c, text] : table)
        if (code == c)
            return text;
    return code;
}

}  // namespace b2d
