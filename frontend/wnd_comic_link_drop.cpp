#include "frontend/wnd_comic_link_drop.h"

#include "common/protocol.h"
#include "frontend/dlg_folder_rules.h"

#include <QMimeData>
#include <QStringList>

namespace {

/// The first address of a text/uri-list (RFC 2483: one per line, "#" lines are comments).
QString FirstUriListEntry(const QMimeData* data) {
  const QString list = QString::fromUtf8(data->data(QStringLiteral("text/uri-list")));
  const QStringList lines = list.split(QLatin1Char('\n'));
  for (QString line : lines) {
    line = line.trimmed();
    if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) return line;
  }
  return {};
}

} // namespace

QString CComicLinkDrop::DroppableText(const QMimeData* data) {
  if (!data) return {};
  QString text;
  // Asked by format: Qt would otherwise turn a whole URI list, comments and all, into text.
  if (data->hasFormat(QStringLiteral("text/plain"))) text = data->text();
  else if (data->hasFormat(QStringLiteral("text/uri-list"))) text = FirstUriListEntry(data);
  return dialogs::BeginsWithHttp(text) ? text : QString();
}

Qt::DropAction CComicLinkDrop::DragOver(const QMimeData* data) const {
  return DroppableText(data).isEmpty() ? Qt::IgnoreAction : Qt::CopyAction;
}

bool CComicLinkDrop::Drop(const QMimeData* data) const {
  const QString link = DroppableText(data);
  if (link.isEmpty() || mainWindow_ == 0) return false;
  auto* copy = new QString(link);
  if (platform::PostMessage(mainWindow_, protocol::WM_APP_ADD_LINK,
                            platform::WPARAM(reinterpret_cast<std::intptr_t>(copy)), 0))
    return true;
  delete copy;
  return false;
}
