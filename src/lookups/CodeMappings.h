#pragma once

#include <QString>

namespace b2d {

class Runtime;

QString ObtenerRelacionConcepto(Runtime &rt, const QString &origen);
QString ObtenerRelacionMoneda(Runtime &rt, const QString &idSim);
QString ObtenerRelacionPais(Runtime &rt, const QString &idSim);
QString GetVariosRelacion(Runtime &rt, const QString &tipo, const QString &valor, bool &encontrado);

}  // namespace b2d
