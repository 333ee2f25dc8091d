#pragma once

#include <QString>

namespace b2d {

class Runtime;

// The licence's parties: one licenseEntity per requestentitydvn row of the interno, in
// RequestEntityID order, whatever its article line or invoice. A query that does not open gives
// the empty text; a failure shows the standard error box and gives the empty text too.
QString DJAI_GetLicenseEntity(Runtime &rt, const QString &interno);

// The one name/value pair the format requires in a flex field, always empty. The licence and
// each of its items carry it.
QString DJAI_GetLicenseFlexField();

}  // namespace b2d
