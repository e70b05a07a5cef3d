#include "engine/list_page_info.h"

#include <QRegularExpression>
#include <memory>

namespace engine {
namespace {

// The longest heading worth reporting: a series name, not an article.
constexpr qsizetype kMaxHeadingChars = 200;
// Counts above this are no chapter counts (a year, a view counter).
constexpr std::int32_t kMaxChapterCount = 99999;

const QList<QRegularExpression>& CountStatements() {
  constexpr auto kOptions =
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption;
  static const QList<QRegularExpression> statements = {
      QRegularExpression(QStringLiteral(u"全\\s*(\\d+)\\s*[话話回集卷巻]"), kOptions),
      QRegularExpression(QStringLiteral(u"共\\s*(\\d+)\\s*[话話回集章]"), kOptions),
      QRegularExpression(QStringLiteral(u"총\\s*(\\d+)\\s*화"), kOptions),
      QRegularExpression(QStringLiteral("total\\s+chapters?\\s*[:：]?\\s*(\\d+)"), kOptions),
      QRegularExpression(QStringLiteral("(?<![\\p{L}])chapters\\s*[:：]\\s*(\\d+)"), kOptions),
      QRegularExpression(QStringLiteral("(\\d+)\\s+chapters\\s*\\(\\s*complete"), kOptions),
  };
  return statements;
}

template <typename Read> QString Safely(Read read) {
  try {
    return read();
  } catch (const DocumentError&) {
    return QString();
  }
}

} // namespace

std::int32_t StatedChapterCount(const QString& pageText) {
  const QString text = pageText.normalized(QString::NormalizationForm_KC);
  for (const QRegularExpression& statement : CountStatements()) {
    const QRegularExpressionMatch match = statement.match(text);
    if (!match.hasMatch()) continue;
    bool ok = false;
    const int count = match.captured(1).toInt(&ok);
    if (ok && count > 0 && count <= kMaxChapterCount) return count;
  }
  return 0;
}

std::optional<common::ListPage> ReadListPage(FIHTMLDocument& document,
                                             const std::weak_ptr<bool>& alive) {
  // Each read may let the front-end's messages run, and one of them may delete the view with
  // its document: nothing is touched after that.
  common::ListPage page;
  page.title = Safely([&] { return document.title().simplified(); });
  if (alive.expired()) return std::nullopt;
  page.heading = Safely([&]() -> QString {
    const std::unique_ptr<FIElementCollection> headings = document.getElementsByTagName(QStringLiteral("h1"));
    if (!headings || headings->length() == 0) return QString();
    const std::unique_ptr<FIHTMLElement> first = headings->item(0);
    return first ? first->innerText().simplified().left(kMaxHeadingChars) : QString();
  });
  if (alive.expired()) return std::nullopt;
  const QString text = Safely([&] { return document.documentText(); });
  if (alive.expired()) return std::nullopt;
  page.count = StatedChapterCount(text);
  return page;
}

} // namespace engine
