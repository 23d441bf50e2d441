#pragma once

class IQuorixProduct;
class RegistryStore;

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
    explicit ConfigReaderWindows(const RegistryStore& registry) : store(registry) {}
    bool readConfig(IQuorixProduct* product) override;

private:
    const RegistryStore& store;
};
