#include "app/Builders.h"

#include "export/ExportEntities.h"
#include "import/ImportEntities.h"

namespace b2d {

const DeclarationBuilders &declarationBuilders()
{
    static const DeclarationBuilders builders = [] {
        DeclarationBuilders b;
        b.importEntity = GetIMPOTAG_declarationEntity;
        b.exportEntity = GetEXPOTAG_declarationEntity;
        return b;
    }();
    return builders;
}

}  // namespace b2d
