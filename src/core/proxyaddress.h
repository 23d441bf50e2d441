#pragma once

#include "result.h"

#include <QNetworkProxy>
#include <QString>

// A proxy address as a URL, http://[user[:password]@]host[:port] (the scheme
// may be left out; percent-escapes decoded; an IPv6 host in brackets; port 80
// when none is given), or why it cannot be read: the error never repeats the
// password. An empty text gives the default proxy.
Result<QNetworkProxy> parseProxyUrl(const QString& text);
// The same for an address given to be used: an empty or blank text (an unset
// shell variable) names no proxy and cannot be read.
Result<QNetworkProxy> parseGivenProxyUrl(const QString& text);

// The port a text names, or 0 unless it is a whole number from 1 to 65535.
int validPort(const QString& text);
