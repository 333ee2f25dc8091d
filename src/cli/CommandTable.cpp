#include "cli/CommandLine.h"

#include "cli/DemoCommand.h"
#include "cli/ListCommand.h"

namespace b2d::cli {

CommandTable buildCommandTable()
{
    CommandTable table;
    table.push_back(std::make_unique<DemoCommand>());
    table.push_back(std::make_unique<ListCommand>());
    return table;
}

}  // namespace b2d::cli
