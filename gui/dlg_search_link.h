#pragma once
// DlgSearchLink: the modal dialog that turns a comic's chapter-list page into many tasks.
//
// Search starts an engine in link-search mode through the task manager's launcher; the
// dialog's CLinkSearchClient speaks with it and hands over the links the engine found. They
// replace the links box with a checklist (CFoundLinkList over a CFoundLinks): the link text,
// the address and the folder each would get, all checked. The user checks all or none, unchecks
// single links, edits folders, or takes the whole list as text ("Open as text", a UTF-8 file
// in the temporary folder opened with the desktop's viewer). Add turns every checked link into
// a task. Before any search, or when one found nothing, the links box takes lines of the
// user's own ("address   folder"), and Add turns every line into a task. Either way every
// link is checked before the first task is made.
//
// "Chapters only" (on at first) shows only the links that are chapters of the series the page
// lists (core/chapter_links.h), in reading order, each with the folder "SERIES - Chapter NUMBER"
// in the base folder; off, every link shows in the page's order with the folder the engine
// proposed. Each view keeps its own marks and folders. Each chapter added while it is on gets a "ComicInfo.xml" with its series fields in
// its folder before its task starts. When a search finds no chapters the box is off and
// disabled. Follow (when the dialog has a series manager) opens the follow dialog with the
// address and the base folder, and closes this dialog once the series is followed: its first
// check adds the chapters.
//
// Because the folder of a link may come from a web page, it must lie inside the base folder
// field: a relative folder is taken below it, and a folder that would leave it ("." or ".."
// components, another absolute folder, a symbolic link pointing out) refuses the link.
//
// The address field starts with the first address line of the clipboard, the base folder with
// the folder that holds the last task's folder (so new chapters land beside it, not inside it).
//
// Enter never closes the dialog. Cancel, Escape or closing tells an engine that is still held
// to quit (notify, no wait) before the dialog closes; so does destroying the dialog.
//
// Threading: the user-interface thread; engine messages arrive at the client there, also while
// exec() runs. Texts: language section "IDD_SEARCH_LINK".
#include "core/chapter_links.h"
#include "core/found_links.h"
#include "core/link_search_client.h"
#include "gui/task_form.h"
#include "platform/window_message.h"

#include <QDialog>
#include <vector>

class CFoundLinkList;
class CSeriesManager;
class QCheckBox;
class CTaskManager;
class CTipEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

class DlgSearchLink : public QDialog {
  Q_OBJECT
public:
  /// `tasks` must outlive the dialog; Search starts its EngineProgram() with its Launcher().
  explicit DlgSearchLink(CTaskManager& tasks, QWidget* parent = nullptr);

  /// The window the link-search engine talks to.
  platform::HWND Handle() const { return client_.Handle(); }

  /// The search button: checks address and folder, then starts the engine.
  void Search();
  /// The add button: checks every checked link (or every line of the links box), then adds
  /// one task for each and closes.
  void Add();
  /// Writes the shown links as text and opens the file in the desktop's viewer; a viewer that
  /// does not open is reported with the file's path. The path, or empty when none was written.
  QString OpenAsText();
  /// Cancel, Escape, close: a held engine is told to quit, then the dialog closes.
  void reject() override;
  /// Lets Follow follow series with `series` (which must outlive the dialog); null hides it.
  void SetSeriesManager(CSeriesManager* series);
  /// The follow button: opens the follow dialog (modal); true when a series was followed.
  bool Follow();

  /// The engine window this dialog holds; 0 when none.
  platform::HWND EngineWindow() const { return client_.Engine(); }
  /// Whether a search is under way (search and add disabled).
  bool IsSearching() const;
  /// Whether the checklist of found links is shown (instead of the links box).
  bool ShowsFoundLinks() const;
  /// 0: start now (the first radio button), 1: only add to the list.
  int StartChoice() const;
  /// Tasks Add created, in line order (lines whose address already had a task are skipped).
  int AddedCount() const { return added_; }

  /// The found links behind the checklist (a filter may be set on them; call
  /// FoundLinkList()->Refresh() after changing them).
  CFoundLinks& FoundLinks() { return found_; }
  CFoundLinkList* FoundLinkList() const { return list_; }
  QLineEdit* AddressEdit() const { return form_.address; }
  QLineEdit* FolderEdit() const { return form_.folder; }
  CTipEdit* LinksEdit() const { return links_; }
  QLabel* StatusLabel() const { return status_; }
  QRadioButton* StartNowRadio() const { return form_.startNow; }
  QRadioButton* AddOnlyRadio() const { return form_.addOnly; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* AddButton() const { return add_; }
  QPushButton* CheckAllButton() const { return checkAll_; }
  QPushButton* CheckNoneButton() const { return checkNone_; }
  QPushButton* OpenAsTextButton() const { return openText_; }
  QCheckBox* ChaptersOnlyBox() const { return chaptersOnly_; }
  QPushButton* FollowButton() const { return follow_; }

  /// The base folder proposed for a search: the folder that holds the folder of the task
  /// added last (highest id), or `fallback` without tasks.
  static QString SuggestBaseFolder(const CTaskManager& tasks, const QString& fallback);

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  /// One link to add: its address and folder as given, and its number in the box or list.
  struct Candidate {
    QString url;
    QString folder;
    int number = 0;
    bool noSpace = false; ///< a box line without a space between address and folder
  };

  QWidget* BuildResultPage();
  void BuildWidgets();
  void ApplyTexts();
  void SetSearching(bool searching);
  void OnSearchDone(const LinkSearchOutcome& outcome);
  void CheckShown(bool checked);
  /// Shows the chapters or every link, as "chapters only" says, and the count found.
  void ShowChapters(bool chaptersOnly);
  /// With chapters only, writes the "ComicInfo.xml" of the chapter `url` into `folder`, which
  /// it creates; nothing for a link that is no chapter.
  void PrepareChapterFolder(const QString& url, const QString& folder);
  /// Refuses with a balloon at `field` (the row `number` selected in the checklist).
  void Refuse(const QString& message, QWidget* field, int number);
  bool AddCandidates(const std::vector<Candidate>& candidates, QWidget* field);
  /// Why the folder of link `number` cannot be used, with the reason where one is known.
  static QString UnusableFolderText(int number, const QString& folder, const QString& baseFolder);
  static QString Text(int key);

  CTaskManager& tasks_;
  CLinkSearchClient client_;
  CFoundLinks found_;
  CSeriesManager* series_ = nullptr;
  int added_ = 0;
  QString searchedUrl_;    // the list page and base folder of the last search started
  QString searchedFolder_;
  // The chapters the last result holds, in reading order, and what the list page says of its
  // series. found_ holds the page's links (linkIndexes_), then the chapters (chapterIndexes_).
  QList<chapter_links::ChapterLink> chapters_;
  std::vector<int> linkIndexes_;
  std::vector<int> chapterIndexes_;
  QString seriesName_;
  int seriesCount_ = 0;
  CTaskForm form_;
  QLabel* linksLabel_ = nullptr;   // 1602
  QLabel* helpLabel_ = nullptr;    // 1603
  QLabel* status_ = nullptr;       // what the last search found
  QStackedWidget* pages_ = nullptr; // the links box, or the checklist
  CTipEdit* links_ = nullptr;      // 1302
  CFoundLinkList* list_ = nullptr;
  QPushButton* checkAll_ = nullptr;
  QPushButton* checkNone_ = nullptr;
  QPushButton* openText_ = nullptr;
  QCheckBox* chaptersOnly_ = nullptr;
  QPushButton* follow_ = nullptr;
  QPushButton* search_ = nullptr;       // 1500
  QPushButton* add_ = nullptr;          // 1501
};
