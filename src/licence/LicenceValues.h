#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace b2d {

class Runtime;

// What the licence builders share: its date-times, the reading of values its rules require and
// the queries that must open.

// A licence date-time: "yyyy-MM-ddTHH:mm:ss", or the date followed by "T" and the fixed time
// PREDETERMINARHORA when that setting is not empty.
QString licenceDateTime(const Runtime &rt, const QDateTime &value);

// A value that must be a date (an officialisation or a complementary-information date), read as
// text first. Empty text or a text that is not a date is a type-mismatch failure (B2DError 13).
QDateTime requiredDate(const QString &text);

// A value that must be a number: a null is an invalid use of null (B2DError 94), a text that is
// not a number a type mismatch (B2DError 13).
double requiredNumber(const QVariant &value);

// A number written inside a text (quantities of the article details): the plain number form
// with a point; a value that is not a number is written as stored.
QString numberText(const QVariant &value);

}  // namespace b2d
