#include "data/SuffixSorter.h"

#include <QList>
#include <algorithm>

namespace b2d {

namespace {

struct Suffix {
    QString code;
    QString value;
    bool hasValue = false;
};

bool isSeparator(QChar c)
{
    return c.isSpace() || c == QLatin1Char(',') || c == QLatin1Char(';');
}

// Reads CODE or CODE(VALUE) items separated by blanks, commas or semicolons. False when the text
// is not such a list (a value without its code, a stray closing parenthesis, a value whose inner
// parentheses are left open).
bool parse(const QString &text, QList<Suffix> &out)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (isSeparator(text.at(i))) {
            ++i;
            continue;
        }
        Suffix s;
        while (i < n && !isSeparator(text.at(i)) && text.at(i) != QLatin1Char('(')
               && text.at(i) != QLatin1Char(')'))
            s.code += text.at(i++);
        if (s.code.isEmpty())
            return false;
        qsizetype j = i;
        while (j < n && text.at(j).isSpace())
            ++j;
        if (j < n && text.at(j) == QLatin1Char('(')) {
            // The value runs to the matching parenthesis and may hold blanks and commas.
            int depth = 1;
            i = j + 1;
            while (i < n) {
                const QChar c = text.at(i);
                if (c == QLatin1Char('('))
                    ++depth;
                else if (c == QLatin1Char(')') && --depth == 0)
                    break;
                s.value += c;
                ++i;
            }
            // A value left open at the end closes there, but not one with an inner parenthesis
            // still open: written back it would read as a different value.
            if (depth > 1)
                return false;
            ++i;  // past the closing parenthesis (or the end of an unclosed value)
            s.value = s.value.trimmed();
            s.hasValue = true;
        } else if (i < n && text.at(i) == QLatin1Char(')')) {
            return false;
        }
        out.append(s);
    }
    return true;
}

}  // namespace

// Canonical order: by code, then by value, both compared character by character (character
// codes, so upper case before lower case and digits before letters); a bare code comes before the
// same code with a value. Items are written CODE or CODE(VALUE), joined by one blank; repeated
// items are kept. A text that holds no codes, or is not a list of codes, comes back trimmed.
QString ordenarsufijos(const QString &suffixes)
{
    QList<Suffix> items;
    if (!parse(suffixes, items) || items.isEmpty())
        return suffixes.trimmed();
    std::stable_sort(items.begin(), items.end(), [](const Suffix &a, const Suffix &b) {
        if (const int c = QString::compare(a.code, b.code, Qt::CaseSensitive); c != 0)
            return c < 0;
        if (a.hasValue != b.hasValue)
            return !a.hasValue;
        return QString::compare(a.value, b.value, Qt::CaseSensitive) < 0;
    });
    QStringList parts;
    for (const Suffix &s : items)
        parts << (s.hasValue ? s.code + QLatin1Char('(') + s.value + QLatin1Char(')') : s.code);
    return parts.join(QLatin1Char(' '));
}

}  // namespace b2d
