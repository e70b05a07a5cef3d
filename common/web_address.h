#pragma once
// The addresses both programs take as chapter or list pages: web addresses over plain HTTP or
// TLS. The engine's browser and its image fetches speak both; everything else (file:, ftp:,
// javascript:, mailto:) is never a chapter.
#include <QString>

namespace common {

/// Whether `text` begins with "http://" or "https://", letter case ignored.
bool BeginsWithWebScheme(const QString& text);

} // namespace common
