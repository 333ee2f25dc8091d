#include "cli/CommandLine.h"

#include "cli/DemoCommand.h"
#include "cli/GenerateCommand.h"
#include "cli/ListCommand.h"
#include "cli/SendCommand.h"

namespace b2d::cli {

CommandTable buildCommandTable()
{
    CommandTable table;
    table.push_back(std::make_unique<DemoCommand>());
    table.push_back(std::make_unique<ListCommand>());
    table.push_back(std::make_unique<GenerateCommand>());
    table.push_back(std::make_unique<SendCommand>());
    return table;
}

}  // namespace b2d::cli
