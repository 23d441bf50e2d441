#pragma once

#include <QString>

#include <optional>

struct MissingPatch;

// Text from the patch list or the registry made safe for HTML: printable, and
// safe inside element content and attribute values in either kind of quotes.
QString escapeHtml(const QString& text);

// Where a link to the address may point, escaped for an attribute: only http
// and https addresses with a host are offered to the reader.
std::optional<QString> webLinkTarget(const QString& url);

// When a missing patch came out and how long ago, escaped: "2026-09-08 (out
// for 90 days)".
QString releaseHtml(const MissingPatch& missing);
