#pragma once

#include <QString>
#include <functional>

namespace b2d {

class Runtime;

// The builders that differ between import and export declarations. The sections shared by both
// (header, items) call them through this table; the program fills it with the import and export
// builders, and a test can put its own in.
struct DeclarationBuilders {
    // The parties of the operation (item 0) or of an item's article lines.
    using EntityBuilder = std::function<QString(Runtime &rt, const QString &interno, int item,
                                                const QString &invoiceNumber,
                                                const QString &preparedQuery)>;
    EntityBuilder importEntity;
    EntityBuilder exportEntity;
};

}  // namespace b2d
