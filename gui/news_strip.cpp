#include "gui/news_strip.h"

#include "common/profile.h"
#include "common/temp_file.h"
#include "gui/site_address.h"
#include "gui/open_report.h"
#include "common/skin_loader.h"

#include <QFile>
#include <QPainter>

namespace {

bool IsWebAddress(const QString& url) {
  return url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
         url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

CNewsStrip::CTimerScroll::CTimerScroll(CNewsStrip& strip, NewsItem oldItem, NewsItem newItem)
    : strip_(strip), old_(std::move(oldItem)), new_(std::move(newItem)) {
  StartTimer(kScrollStepMs);
}

void CNewsStrip::CTimerScroll::OnTimerNotify() {
  ++step_;
  // The last step waits for the paint that ends the scroll; a hidden strip needs no more ticks.
  if (step_ >= kScrollSteps) StopTimer();
  strip_.update();
}

void CNewsStrip::CTimerRetry::OnTimerNotify() {
  StopTimer();
  owner_.StartDownload();
}

CNewsStrip::CNewsStrip(QWidget* parent) : FCButtonBase(parent) {
  SetButtonCursor(QCursor(Qt::PointingHandCursor));
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QAbstractButton::clicked, this, &CNewsStrip::OpenFirstItem);
}

CNewsStrip::~CNewsStrip() = default;

bool CNewsStrip::Create() { return StartDownload(); }

bool CNewsStrip::Create(const QDomElement& element, const QString& folder) {
  LoadButtonAttributes(element, folder);
  update();
  return Create();
}

bool CNewsStrip::StartDownload() {
  const QString site = dialogs::SiteBase();
  if (site.isEmpty()) return false;
  SetAdSite(site);
  AddAdDownload();
  return true;
}

int CNewsStrip::RetryDelayMs(int failures) {
  std::int64_t delay = kFirstRetryMs;
  for (int i = 1; i < failures && delay < kMaxRetryMs; ++i) delay *= 2;
  return int(std::min<std::int64_t>(delay, kMaxRetryMs));
}

int CNewsStrip::ClampInterval(const QString& value) {
  bool ok = false;
  const std::int32_t number = std::int32_t(value.trimmed().toLongLong(&ok)); // low 32 bits
  if (!ok || number <= kMinIntervalMs) return kMinIntervalMs;
  if (number > kMaxIntervalMs - 1) return kMaxIntervalMs;
  return number;
}

int CNewsStrip::ReadNewsFile(const QString& path, QList<NewsItem>& items) {
  items.clear();
  QString interval;
  FCSkinLoader::ReadIniString(QStringLiteral("app"), QStringLiteral("t"), path, interval);
  for (int section = 0; section < kMaxItems; ++section) {
    const QString name = QString::number(section);
    NewsItem item;
    FCSkinLoader::ReadIniString(name, QStringLiteral("t"), path, item.text);
    FCSkinLoader::ReadIniString(name, QStringLiteral("u"), path, item.url);
    if (item.text.isEmpty() || item.url.isEmpty()) break;
    if (IsWebAddress(item.url)) items.append(item);
  }
  return ClampInterval(interval);
}

void CNewsStrip::SetNews(const QList<NewsItem>& items, int intervalMs) {
  items_ = items;
  intervalMs_ = intervalMs;
  scroll_.reset();
  update();
  if (!items_.isEmpty()) StartTimer(intervalMs_);
  else StopTimer();
}

void CNewsStrip::OnAfterDownloadFinish(FCHttpDownload* download) {
  if (download->GetResponseInfo().statusCode == 404) return;
  const FCReceivedBlock block = download->TakeReceivedData();
  QList<NewsItem> items;
  int interval = kMinIntervalMs;
  const QByteArray bytes = block.Bytes();
  if (!bytes.isEmpty() && bytes.size() <= kMaxDocumentBytes) {
    const QString file = common::CreateTempFile();
    if (!file.isEmpty()) {
      QFile out(file);
      if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size()) {
        out.close();
        interval = ReadNewsFile(file, items);
      }
      QFile::remove(file);
    }
  }
  if (items.isEmpty()) return OnDownloadFailed();
  failures_ = 0;
  SetNews(items, interval);
}

void CNewsStrip::OnDownloadFailed() {
  ++failures_;
  retry_.StartTimer(RetryDelayMs(failures_));
}

void CNewsStrip::OnTimerNotify() {
  if (items_.size() < 2 || scroll_) return;
  const NewsItem oldItem = items_.takeFirst();
  items_.append(oldItem);
  scroll_ = std::make_unique<CTimerScroll>(*this, oldItem, items_.first());
}

void CNewsStrip::OpenFirstItem() {
  if (!items_.isEmpty()) dialogs::OpenForUser(this, items_.first().url);
}

void CNewsStrip::DrawItem(QPainter& painter, const QString& text, const QRect& row) const {
  const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, row.width());
  painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void CNewsStrip::DrawButton(QPainter& painter, int left, int top, int right, int bottom) {
  painter.save();
  const bool hot = IsHovering() || isDown();
  QFont font = painter.font(); // the default control font the button prepared
  font.setUnderline(hot);
  painter.setFont(font);
  painter.setPen(QColor::fromRgba(hot ? kHoverColour : kTextColour));
  painter.setBackgroundMode(Qt::TransparentMode);

  const QRect strip(QPoint(left, top), QPoint(right - 1, bottom - 1));
  if (scroll_) {
    const int h = bottom - top;
    const int step = scroll_->Step();
    const QRect oldRow = strip.translated(0, -(h * step) / kScrollSteps);
    DrawItem(painter, scroll_->OldItem().text, oldRow);
    DrawItem(painter, scroll_->NewItem().text, oldRow.translated(0, h));
    if (step > kScrollSteps - 1) {
      scroll_.reset();
      update();
    }
  } else if (!items_.isEmpty()) {
    DrawItem(painter, items_.first().text, strip);
  }
  painter.restore();
}
