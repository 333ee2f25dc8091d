#include "licence/LicenceValues.h"

#include "data/DataAccess.h"
#include "platform/Error.h"
#include "runtime/Runtime.h"
#include "values/Values.h"

#include <QLocale>

namespace b2d {

namespace {
constexpr long kInvalidUseOfNull = 94;
}  // namespace

QString licenceDateTime(const Runtime &rt, const QDateTime &value)
{
    if (rt.cfg.PREDETERMINARHORA.isEmpty())
        return isoDateTime(value);
    return isoDate(value.date()) + QLatin1Char('T') + rt.cfg.PREDETERMINARHORA;
}

QDateTime requiredDate(const QString &text)
{
    const std::optional<QDateTime> date = readDate(text);
    if (!date)
        throw B2DError(ErrNo::TypeMismatch, QStringLiteral("VelmoraB2D"),
                       QStringLiteral("Type mismatch"));
    return *date;
}

double requiredNumber(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        throw B2DError(kInvalidUseOfNull, QStringLiteral("VelmoraB2D"),
                       QStringLiteral("Invalid use of Null"));
    const NumberReading r = readNumberValue(value);
    if (r.kind != NumberKind::Number)
        throw B2DError(ErrNo::TypeMismatch, QStringLiteral("VelmoraB2D"),
                       QStringLiteral("Type mismatch"));
    return r.value;
}

QString numberText(const QVariant &value)
{
    const NumberReading r = readNumberValue(value);
    if (r.kind == NumberKind::Number)
        return plainNumber(r.value);
    return EsNulo(value);
}

}  // namespace b2d
