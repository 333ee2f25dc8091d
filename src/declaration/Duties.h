#pragma once

#include <QString>

namespace b2d {

class Runtime;

QString GetCaratulaConceptos(Runtime &rt, const QString &monedaFob);
QString GetCaratulaINGBRUTOS(Runtime &rt, const QString &monedaFob);
QString GetCaratulaINGBRUTOSDesglose(Runtime &rt);
QString GetItemConceptos(Runtime &rt, const QString &item, const QString &unused, bool producto);
QString GetItemConceptosProrrateados(Runtime &rt, const QString &item, const QString &unused,
                                     double total, double share);
QString GetItemINGBRUTOSDesglose(Runtime &rt, const QString &despacho, const QString &item);
QString GetConceptoDescripcion(Runtime &rt, const QString &concepto);

}  // namespace b2d
