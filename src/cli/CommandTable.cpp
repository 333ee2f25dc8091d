#include "cli/CommandLine.h"

#include "cli/ConfigCommand.h"
#include "cli/DemoCommand.h"
#include "cli/GenerateCommand.h"
#include "cli/ListCommand.h"
#include "cli/RelationsCommand.h"
#include "cli/SendCommand.h"
#include "cli/SubitemsCommand.h"
#include "cli/ValidateCommand.h"

namespace b2d::cli {

CommandTable buildCommandTable()
{
    CommandTable table;
    table.push_back(std::make_unique<DemoCommand>());
    table.push_back(std::make_unique<ListCommand>());
    table.push_back(std::make_unique<GenerateCommand>());
    table.push_back(std::make_unique<SendCommand>());
    table.push_back(std::make_unique<ValidateCommand>());
    table.push_back(std::make_unique<ConfigCommand>());
    table.push_back(std::make_unique<RelationsCommand>());
    table.push_back(std::make_unique<SubitemsCommand>());
    return table;
}

}  // namespace b2d::cli
