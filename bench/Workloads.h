#pragma once

#include <QString>

namespace bench {

// The synthetic rows of one benchmark case, added by code to a fresh demo workspace: the
// HISTORIAL and INTERNOS statements, the declaration to generate and what counts as one product.
struct Workload {
    QString historial;
    QString internos;
    QString ncm;          // tariff positions added to the NCM table
    QString number;       // the declaration generated (empty for the operations list)
    bool bareInternos = false;  // the INTERNOS tables lose their indexes
};

// An import of `items` items, each of 10 subitems of 5 grouped articles, whose DI cancels a
// licence with the articles of its first item; in dollars, or in euros (`foreign`), which
// records an exchange rate per item.
Workload importWorkload(int items, bool foreign);
// An export of `items` items, each of 10 subitems of 5 grouped articles.
Workload exportWorkload(int items);
// An advance import licence of `items` items, each of 10 declared subitems of 5 articles.
Workload licenceWorkload(int items);
// The "distinct" shape of the same three operations: every item its own tariff position (with
// its NCM row), duty rows and complementary information, every subitem its own article rows,
// nothing shared between items; the INTERNOS tables without indexes, as a customs system's
// database may well have them.
Workload distinctImportWorkload(int items, bool foreign);
Workload distinctExportWorkload(int items);
Workload distinctLicenceWorkload(int items);
// `count` operations made official today, for the operations list.
Workload listWorkload(int count);

}  // namespace bench
