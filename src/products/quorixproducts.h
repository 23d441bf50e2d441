#pragma once

#include "quorixproduct.h"

// A new, discovered product of the given table row (1 to 13); null otherwise.
IQuorixProduct* createProduct(int number);

constexpr int productCount = 13;
