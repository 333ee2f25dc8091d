#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The checks the fuzz targets run on every input, shared with the test that replays the kept
// inputs of fuzz/corpus and fuzz/regressions in the ordinary build. Each check runs a reader or
// writer of the core on the input and returns "" when its properties hold, else what failed.

namespace b2d::fuzz {

struct FuzzTarget {
    const char *name;  // also the folder of its inputs under fuzz/corpus and fuzz/regressions
    QString (*check)(const QByteArray &input);
};

// Every target: pe_version, number_date, tsql_rewriter, suffix_sorter, text_encoding.
const QList<FuzzTarget> &fuzzTargets();
// The target of that name; nullptr when there is none.
const FuzzTarget *findFuzzTarget(const QString &name);

// The text an input stands for: UTF-16LE code units (lone surrogates included) after a leading
// FF FE, UTF-8 otherwise.
QString fuzzText(const QByteArray &input);

}  // namespace b2d::fuzz
