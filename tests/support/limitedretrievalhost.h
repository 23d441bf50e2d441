#pragma once

#include <QtGlobal>

// A retrieval host of the program with the time-out and the bound on the
// list's size that a test chooses.
template <class Host> class LimitedRetrievalHost : public Host
{
public:
    using Host::Host;

    int timeoutMs() const override { return timeout; }
    qint64 maxListBytes() const override { return maxBytes; }

    int timeout = Host::defaultTimeoutMs;
    qint64 maxBytes = Host::defaultMaxListBytes;
};
