#pragma once

#include <QString>

class Common;

// Switch "P": the proxy for this run, saved; false, with nothing changed,
// when the address cannot be read.
bool applyProxyFromCommandLine(const QString& text, Common& settings);
// Switch "K": the saved proxy removed.
bool removeProxySetting(Common& settings); // false: Group Policy fixes the proxy
// The installer's machine-wide proxy (empty text: removed), stored without a
// word when all is well: exit code 1 for an address that cannot be read, 2
// when it cannot be kept.
int storeMachineWideProxy(const QString& text, Common& settings);
