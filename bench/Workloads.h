#pragma once

#include <QString>

namespace bench {

// The synthetic rows of one benchmark case, added by code to a fresh demo workspace: the
// HISTORIAL and INTERNOS statements, the declaration to generate and what counts as one product.
struct Workload {
    QString historial;
    QString internos;
    QString number;       // the declaration generated (empty for the operations list)
};

// An import of `items` items, each of 10 subitems of 5 grouped articles, whose DI cancels a
// licence with the articles of its first item; in dollars, or in euros (`foreign`), which
// records an exchange rate per item.
Workload importWorkload(int items, bool foreign);
// An export of `items` items, each of 10 subitems of 5 grouped articles.
Workload exportWorkload(int items);
// An advance import licence of `items` items, each of 10 declared subitems of 5 articles.
Workload licenceWorkload(int items);
// `count` operations made official today, for the operations list.
Workload listWorkload(int count);

}  // namespace bench
