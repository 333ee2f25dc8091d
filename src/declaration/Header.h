#pragma once

#include <QString>

namespace b2d {

class Runtime;
struct DeclarationBuilders;

// The declaration header fragment. Fills the six values handed on to the items section and
// the driver. Failures are raised again to the driver (ErrNo::Builder, chained source).
QString GetCaratulaInfo(Runtime &rt, const DeclarationBuilders &builders, QString &monedaFob, QString &monedaFlete, QString &monedaSeguro,
                        QString &condicionVenta, QString &brokerReferenceCode,
                        QString &processReferenceCode);
QString GetKILOBRUTOCaratula(Runtime &rt);
QString GetFacturas(Runtime &rt);
QString GetDeclarationFlexField_CUIT(Runtime &rt);
QString GetAduanaDescripcion(Runtime &rt, const QString &codigoAduana);

}  // namespace b2d
