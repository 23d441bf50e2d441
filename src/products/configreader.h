#pragma once

class IQuorixProduct;

// Reads one product's registry key into the product.
class IConfigReader
{
public:
    virtual ~IConfigReader() = default;
    // True when the product is installed.
    virtual bool readConfig(IQuorixProduct* product) = 0;
};

class ConfigReaderWindows : public IConfigReader
{
public:
    bool readConfig(IQuorixProduct* product) override;
};
