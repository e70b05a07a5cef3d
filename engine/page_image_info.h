#pragma once
// CPageImageInfo: one image of a page that was fetched again and decoded successfully.
#include <QString>
#include <cstdint>

class CPageImageInfo {
public:
  QString url;           ///< the address exactly as the page's img element gave it
  QString temporaryPath; ///< the downloaded bytes; the view that fetched it deletes the file
  std::int32_t width = 0;
  std::int32_t height = 0;
  QString extension;     ///< ".jpg", ".png", ... from the decoded format, never empty
};
