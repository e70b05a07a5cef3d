#include "gui/wnd_comic_link_drop.h"

#include "common/protocol.h"
#include "gui/dlg_folder_rules.h"

#include <QMimeData>
#include <QSet>
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

// The copies posted with WM_APP_ADD_LINK that the main window has not taken yet.
QSet<QString*>& PendingLinks() {
  static QSet<QString*> links;
  return links;
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
  const platform::WPARAM param = LinkMessageParam(link);
  if (platform::PostMessage(mainWindow_, protocol::WM_APP_ADD_LINK, param, 0)) return true;
  TakeLink(param); // frees the copy
  return false;
}

platform::WPARAM CComicLinkDrop::LinkMessageParam(const QString& link) {
  auto* copy = new QString(link);
  PendingLinks().insert(copy);
  return platform::WPARAM(reinterpret_cast<std::intptr_t>(copy));
}

std::unique_ptr<QString> CComicLinkDrop::TakeLink(platform::WPARAM wParam) {
  auto* link = reinterpret_cast<QString*>(std::intptr_t(wParam));
  if (!PendingLinks().remove(link)) return nullptr; // not ours: never follow it
  return std::unique_ptr<QString>(link);
}
