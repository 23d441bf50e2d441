#pragma once

#include <QNetworkProxy>
#include <QString>
#include <QUrl>

// The scheme a proxy asks for, as its answer to a request without
// credentials names it in "Proxy-Authenticate": of those Qt answers, the one
// it prefers ("Negotiate" on Windows, "Digest", "NTLM", "Basic"). Empty when
// the proxy names none of them, or does not answer within the time.
QString proxyChallengeScheme(const QNetworkProxy& proxy, const QUrl& target, int timeoutMs);

// The same, of the head of a proxy's answer.
QString preferredProxyScheme(const QByteArray& responseHead);
