#pragma once

#include <QString>

namespace b2d {

class Recordset;

// The party rows of requestentitydvn, shared by the import and export party builders.

// The selected columns, from "SELECT DISTINCT" up to RequestEntityID (no FROM).
QString partySelectColumns();

// The party query of one interno, article line and (when not empty) invoice, values quoted.
QString partyQuery(const QString &interno, int item, const QString &invoiceNumber);

// "declarationEntity" for the operation as a whole (item below 1), else "declarationItemEntity".
QString partyElementName(int item);

// One element per row of `rs`, from its current row to the end: the nine party columns, each
// always written (null gives an empty element) and escaped once. Throws B2DError for a missing
// column.
QString partyElements(Recordset &rs, const QString &elementName);

}  // namespace b2d
