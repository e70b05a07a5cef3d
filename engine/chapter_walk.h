#pragma once
// CChapterWalk: what the page views of one engine share about the chapter they walk: the page
// cap of a walk without a stated total, the addresses saved in this task (such a walk stops
// at one it saved before), which kinds of walk have shown themselves on this chapter, and
// where a restart picks up a chapter whose pages turn in place.
//
// A page reached by turning in place often has no address that shows it when loaded again. So
// a restart after such a page k loads the address of the document the turns started from and
// turns again, saving from page k + 1 on. The record that makes this possible lives in the
// user's cache folder under a name made from the task folder. It is written whole (temporary
// file, rename) before the page-saved report of every page that was reached in place or
// belongs to a walk without a stated total, and never for other pages; a new task (page 1)
// and the chapter's last page remove it.
//
// Everything runs on the engine's user-interface thread.
#include <QSet>
#include <QString>
#include <cstdint>

/// Where the first page view of an engine starts.
struct WalkStart {
  QString url;
  std::int32_t page = 1;
  /// Pages up to this one were saved before the restart: they are turned past, not saved.
  std::int32_t resumeAfter = 0;
};

class CChapterWalk {
public:
  /// `folder`: the task folder (names the record); `maxPages`: the page cap, at least 1.
  CChapterWalk(QString folder, std::int32_t maxPages);

  /// Where a job for `url` at page `page` starts: there, unless the record shows that page
  /// `page` was reached in place from another address; then at that address and its page,
  /// with the pages up to `page` turned past.
  WalkStart Start(const QString& url, std::int32_t page);

  std::int32_t MaxPages() const { return maxPages_; }
  std::int32_t ResumeAfter() const { return resumeAfter_; }

  /// Whether `url` (fragment ignored) was saved as a page of this task.
  bool Saved(const QString& url) const;
  /// Page `page` was saved from `url`, shown by a document loaded at `documentUrl` as page
  /// `documentPage`. With `keep`, the record is written for a restart.
  void PageSaved(std::int32_t page, const QString& url, const QString& documentUrl,
                 std::int32_t documentPage, bool keep);
  /// The chapter's last page is being saved: no restart will need the record.
  void Forget();

  /// A walk without a stated total went past a page: later pages need not prove again that
  /// they are no long strip.
  bool OpenWalkSeen() const { return openWalkSeen_; }
  void SetOpenWalkSeen() { openWalkSeen_ = true; }
  /// The page image is the control to the next page (a click-on-image reader).
  bool ImageWalk() const { return imageWalk_; }
  void SetImageWalk() { imageWalk_ = true; }

  /// The record's file for a task folder.
  static QString RecordPath(const QString& folder);

private:
  bool Load();
  void Save() const;

  QString folder_;
  std::int32_t maxPages_;
  std::int32_t resumeAfter_ = 0;
  bool openWalkSeen_ = false;
  bool imageWalk_ = false;
  // The record: the last page saved, the document that showed it, and every address saved.
  std::int32_t lastPage_ = 0;
  QString lastUrl_;
  std::int32_t documentPage_ = 0;
  QString documentUrl_;
  QSet<QByteArray> saved_; ///< hashes of addresses without fragment
};
