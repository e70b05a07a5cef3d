#pragma once
// CJsonOutput: folivex-get's --json. One JSON object per line on standard output for each
// chapter event, for scripts and for library tools that import a chapter when it is done:
//
//   {"event":"start","task":1,"url":"http://site/c/1","folder":"/home/u/comics/c1"}
//   {"event":"page","task":1,"page":3,"total":12,"file":"/home/u/comics/c1/003.jpg"}
//   {"event":"done","task":1,"page":12,"total":12,"file":"/home/u/comics/c1.cbz"}
//   {"event":"failed","task":1,"page":2,"total":12,"reason":"..."}
//
// "task" is the chapter's number on the command line or in the list (as "[1]" in the plain
// progress); "total" is 0 while the page count is unknown; "file" of "done" is the CBZ when
// the chapter was packed, else its folder. Texts from web pages are escaped by the JSON
// writer, so a line is always one line of valid JSON.
#include "core/chapter_events.h"

#include <QHash>
#include <QJsonObject>
#include <cstdio>

namespace folivex_get {

class CJsonOutput : public FIChapterEventSink {
public:
  /// `tasks` must outlive this object; lines go to `out`.
  CJsonOutput(const CTaskManager& tasks, std::FILE* out) : events_(tasks, *this), out_(out) {}

  void SetLabel(std::int32_t id, int label) { labels_[id] = label; }

  void OnChapterStart(const CTaskInfo& task) override;
  void OnChapterPage(const CTaskInfo& task) override;
  void OnChapterDone(const CTaskInfo& task) override;
  void OnChapterFailed(const CTaskInfo& task) override;

  /// The file of page `page` in `folder` ("003.jpg" whatever its extension); empty when none.
  static QString PageFile(const QString& folder, int page);

private:
  QJsonObject Event(const char* name, const CTaskInfo& task) const;
  void Write(const QJsonObject& object);

  CChapterEvents events_;
  std::FILE* out_;
  QHash<std::int32_t, int> labels_;
};

} // namespace folivex_get
