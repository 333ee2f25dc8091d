#include "app/Builders.h"

#include "export/ExportEntities.h"
#include "export/ExportProducts.h"
#include "import/ImportEntities.h"

namespace b2d {

const DeclarationBuilders &declarationBuilders()
{
    static const DeclarationBuilders builders = [] {
        DeclarationBuilders b;
        b.importEntity = GetIMPOTAG_declarationEntity;
        b.exportEntity = GetEXPOTAG_declarationEntity;
        b.importEntityQuery = EntityQueryByITEM;
        // The import products come with their own builders; until then an import item is written
        // without products.
        b.exportProductsWithoutSubitems = [](Runtime &rt, const ItemProductInput &in, QStringList &) {
            return GetEXPOTag_SubItemInfo_SinSubitem_EX(rt, in.itemNumber, in.brokerReferenceCode,
                                                        in.item, in.cif, in.monedaFob, in.rate);
        };
        b.exportProductElement = GetExpoTagDeclarationItemProduct;
        return b;
    }();
    return builders;
}

}  // namespace b2d
