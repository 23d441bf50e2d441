#pragma once

#include "quorixproductbase.h"

namespace QuorixProducts {

#define SKYVANE_PRODUCT_CLASS(ClassName)                                                           \
    class ClassName : public QuorixProductBase                                                     \
    {                                                                                              \
    public:                                                                                        \
        ClassName();                                                                               \
        ~ClassName() override;                                                                     \
    };

SKYVANE_PRODUCT_CLASS(Server)
SKYVANE_PRODUCT_CLASS(Zelvan)
SKYVANE_PRODUCT_CLASS(TarnVault)
SKYVANE_PRODUCT_CLASS(Flurrin)
SKYVANE_PRODUCT_CLASS(Calder)
SKYVANE_PRODUCT_CLASS(TaskwellManager)
SKYVANE_PRODUCT_CLASS(VandryBulwarkCharting)
SKYVANE_PRODUCT_CLASS(VandryFoundryCharting)
SKYVANE_PRODUCT_CLASS(AuditLens)
SKYVANE_PRODUCT_CLASS(TidemarkServer)
SKYVANE_PRODUCT_CLASS(RouteKeying)
SKYVANE_PRODUCT_CLASS(Conduits)
SKYVANE_PRODUCT_CLASS(LanesAndCauseways)

#undef SKYVANE_PRODUCT_CLASS

} // namespace QuorixProducts

// A new, discovered product of the given table row (1 to 13); null otherwise.
IQuorixProduct* createProduct(int number);

constexpr int productCount = 13;
