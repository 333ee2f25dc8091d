#include "app/Builders.h"

#include "export/ExportEntities.h"
#include "export/ExportProducts.h"
#include "import/ImportEntities.h"
#include "import/ImportProducts.h"

namespace b2d {

const DeclarationBuilders &declarationBuilders()
{
    static const DeclarationBuilders builders = [] {
        DeclarationBuilders b;
        b.importEntity = GetIMPOTAG_declarationEntity;
        b.exportEntity = GetEXPOTAG_declarationEntity;
        b.importEntityQuery = EntityQueryByITEM;
        b.importProductsWithSubitems = Getsubitemsinfo_ex;
        b.importProductsWithoutSubitems = Getsubitemsinfo_sinsubitem_ex;
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
