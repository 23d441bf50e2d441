#pragma once

#include "quorixproduct.h"

// A new product of the given table row (1 to 13), discovered in the store;
// null for another number.
IQuorixProduct* createProduct(int number, const RegistryStore& store,
                              UninstallLookup& uninstallList);

constexpr int productCount = 13;
