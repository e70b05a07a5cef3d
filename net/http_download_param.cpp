#include "net/http_download_param.h"

QString FCHttpDownloadParam::DefaultUserAgent() {
  // What a current desktop browser on this platform announces; sites answer it as they answer
  // their ordinary visitors.
  return QStringLiteral("Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) "
                        "Chrome/120.0.0.0 Safari/537.36");
}
