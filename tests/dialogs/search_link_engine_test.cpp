// The search-link dialog with the real Gantrell and its browser, on list pages served from
// 127.0.0.1: the links found fill the checklist, which becomes tasks; no viewer opens.
#include "common/protocol.h"
#include "dialog_fixture.h"
#include "archive/comic_info.h"
#include "chapter_site.h"
#include "core/series_manager.h"
#include "gui/dlg_balloon_tip.h"
#include "gui/dlg_follow_series.h"
#include "gui/dlg_search_link.h"
#include "gui/found_link_list.h"
#include "local_site.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <csignal>
#include <sys/types.h>

using dialog_tests::DialogTest;
using testing_support::AddSeriesList;
using testing_support::LocalSite;
using testing_support::SeriesListKind;
using testing_support::ReadBytes;
using testing_support::WaitFor;

namespace {

/// Whether the process lives (a zombie that nobody reaped counts as ended).
bool Running(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  const int close = line.lastIndexOf(')');
  return close > 0 && line.size() > close + 2 && line[close + 2] != 'Z';
}

/// Starts programs for real and ends every one still running when it dies, by its id.
class EndingLauncher : public platform::FIProgramLauncher {
public:
  ~EndingLauncher() override {
    for (pid_t pid : pids)
      if (Running(pid)) ::kill(pid, SIGTERM);
  }
  pid_t Launch(const QString& program, const QStringList& arguments) override {
    const pid_t pid = real_.Launch(program, arguments);
    pids.push_back(pid);
    return pid;
  }
  std::vector<pid_t> pids;

private:
  platform::DetachedLauncher real_;
};

class SearchLinkWithEngine : public DialogTest {
protected:
  SearchLinkWithEngine() {
    launcher.forward = &engines; // the dialog starts engines through the task manager's
    tasks->SetEngineProgram(testing_support::AppFolder() + "Gantrell");
    dialogs::SetBoxAnswerer([this](const QString& text) {
      boxes << text;
      return true;
    });
  }
  ~SearchLinkWithEngine() override {
    dialogs::SetBoxAnswerer({});
    launcher.forward = nullptr;
  }

  /// Searches `page` from a new dialog into `base` and waits for the engine's answer.
  void Search(DlgSearchLink& dialog, const QString& page, const QString& base) {
    dialog.show();
    dialog.AddressEdit()->setText(page);
    dialog.FolderEdit()->setText(base);
    const size_t started = engines.pids.size();
    dialog.Search();
    ASSERT_EQ(engines.pids.size(), started + 1);
    ASSERT_GT(engines.pids.back(), 0);
    EXPECT_TRUE(dialog.IsSearching());
    EXPECT_EQ(dialog.StatusLabel()->text(), "searching");
    ASSERT_TRUE(WaitFor([&] { return !dialog.IsSearching(); }, 60000));
    EXPECT_TRUE(WaitFor([&] { return !Running(engines.pids.back()); }, 30000)) << "it ends by itself";
  }

  EndingLauncher engines;
  QStringList boxes;
};

} // namespace

TEST_F(SearchLinkWithEngine, FoundLinksAreCheckedEditedAndAddedInsideTheBaseFolder) {
  LocalSite site;
  site.AddPage("/list.html",
               "<html><body><ol><li><a href='/ch/1.html'>Chapter 1</a></li>"
               "<li><a href='/ch/2.html'>Chapter 2</a></li>"
               "<li><a href='/ch/3.html'>../../escape</a></li></ol></body></html>");
  const QString base = Folder("Comics/");
  DlgSearchLink dialog(*tasks);
  Search(dialog, site.Url("/list.html"), base);

  ASSERT_TRUE(dialog.ShowsFoundLinks());
  dialog.ChaptersOnlyBox()->setChecked(false); // every link, with the engine's folders
  EXPECT_EQ(dialog.StatusLabel()->text(), "found 3");
  CFoundLinkList* list = dialog.FoundLinkList();
  ASSERT_EQ(list->topLevelItemCount(), 3);
  const QTreeWidgetItem* first = list->topLevelItem(0);
  EXPECT_EQ(first->text(CFoundLinkList::kTextColumn), "Chapter 1");
  EXPECT_EQ(first->text(CFoundLinkList::kAddressColumn), site.Url("/ch/1.html"));
  // Folders are shown below the base folder; the links keep the whole path.
  EXPECT_EQ(first->text(CFoundLinkList::kFolderColumn), "Chapter 1");
  EXPECT_EQ(first->toolTip(CFoundLinkList::kFolderColumn), base + "Chapter 1");
  EXPECT_EQ(dialog.FoundLinks().Shown(0).link.folder, base + "Chapter 1");
  EXPECT_EQ(list->topLevelItem(2)->text(CFoundLinkList::kFolderColumn), "_.._escape");
  for (int row = 0; row < 3; ++row)
    EXPECT_EQ(list->topLevelItem(row)->checkState(CFoundLinkList::kTextColumn), Qt::Checked);

  // None, then all but the second; the first gets a folder of the user's, relative to the base.
  dialog.CheckNoneButton()->click();
  dialog.Add();
  EXPECT_EQ(dialogs::LastBalloonTip().message, "none checked");
  dialog.CheckAllButton()->click();
  list->topLevelItem(1)->setCheckState(CFoundLinkList::kTextColumn, Qt::Unchecked);
  list->topLevelItem(0)->setText(CFoundLinkList::kFolderColumn, "First");
  dialog.AddOnlyRadio()->setChecked(true);
  dialog.Add();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_EQ(tasks->Count(), 2);
  EXPECT_EQ((*tasks)[0]->url, site.Url("/ch/1.html"));
  EXPECT_EQ((*tasks)[0]->folder, base + "First/");
  EXPECT_EQ((*tasks)[1]->url, site.Url("/ch/3.html"));
  EXPECT_EQ((*tasks)[1]->folder, base + "_.._escape/");
  EXPECT_TRUE(opener.opened.isEmpty()) << "no viewer was ever started";
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(SearchLinkWithEngine, TextFormNothingFoundAndAMissingListPageEachSaySo) {
  LocalSite site;
  site.AddPage("/list.html", "<html><body><a href='/ch/1.html'>Chapter 1</a>"
                             "<a href='/ch/2.html'>Chapter 2</a></body></html>");
  site.AddPage("/empty.html", "<html><body><p>No links here.</p></body></html>");
  const QString base = Folder("Comics/");

  // The whole list as UTF-8 text; a viewer that does not open is named with the file.
  DlgSearchLink dialog(*tasks);
  Search(dialog, site.Url("/list.html"), base);
  ASSERT_TRUE(dialog.ShowsFoundLinks());
  dialog.ChaptersOnlyBox()->setChecked(false);
  dialog.FoundLinkList()->topLevelItem(1)->setText(CFoundLinkList::kFolderColumn, base + "Two");
  opener.failWith = 3;
  const QString text = dialog.OpenAsText();
  ASSERT_FALSE(text.isEmpty());
  EXPECT_TRUE(text.endsWith(".txt"));
  EXPECT_EQ(opener.opened, QStringList{text});
  EXPECT_EQ(QString::fromUtf8(ReadBytes(text)),
            site.Url("/ch/1.html") + "   " + base + "Chapter 1\n" + site.Url("/ch/2.html") + "   " +
                base + "Two\n");
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0], "open 1 " + text + "\n\nopen 4 xdg-open no program");
  QFile::remove(text);

  // A page without links: said in the dialog, and the box stays for lines of the user's own.
  DlgSearchLink none(*tasks);
  Search(none, site.Url("/empty.html"), base);
  EXPECT_FALSE(none.ShowsFoundLinks());
  EXPECT_EQ(none.StatusLabel()->text(), "none found");
  EXPECT_TRUE(none.StatusLabel()->isVisibleTo(&none));

  // A list page that is not there: the dialog says so at the address.
  DlgSearchLink missing(*tasks);
  const int balloons = dialogs::LastBalloonTip().serial;
  Search(missing, site.Url("/no-such-list.html"), base);
  EXPECT_EQ(dialogs::LastBalloonTip().serial, balloons + 1);
  EXPECT_EQ(dialogs::LastBalloonTip().message, "search 16 page failed (HTTP 404)");
  EXPECT_EQ(dialogs::LastBalloonTip().field, missing.AddressEdit());
  EXPECT_FALSE(missing.ShowsFoundLinks());
  EXPECT_EQ(tasks->Count(), 0);
}

TEST_F(SearchLinkWithEngine, ChaptersOnlyListsTheSeriesOldestFirstAndFollowTakesTheListPage) {
  LocalSite site;
  const QString c = site.Url("/comic/77/");
  AddSeriesList(site, "/list.html", SeriesListKind::ChineseNewestFirst,
                {{c + "8001.html", "1", {}}, {c + "8870.html", "2.5", {}}, {c + "9013.html", "3", {}}});
  const QString base = Folder("Comics/");
  const QString series = QString::fromUtf8("潮汐守望者");
  DlgSearchLink dialog(*tasks);
  Search(dialog, site.Url("/list.html"), base);

  // On at first: the chapters oldest first, named after the series; off: every link as listed.
  ASSERT_TRUE(dialog.ChaptersOnlyBox()->isChecked());
  EXPECT_EQ(dialog.StatusLabel()->text(), "chapters 3");
  EXPECT_EQ(dialog.FoundLinks().Text(), c + "8001.html   " + base + series + " - Chapter 1\n" + c +
                                            "8870.html   " + base + series + " - Chapter 2.5\n" + c +
                                            "9013.html   " + base + series + " - Chapter 3\n");
  dialog.ChaptersOnlyBox()->setChecked(false);
  EXPECT_GT(dialog.FoundLinks().ShownCount(), 3);
  EXPECT_EQ(dialog.FoundLinks().Shown(0).link.text, QString::fromUtf8("首页"));
  dialog.ChaptersOnlyBox()->setChecked(true);

  // Added chapters carry their series fields from the start.
  dialog.FoundLinkList()->topLevelItem(1)->setCheckState(CFoundLinkList::kTextColumn, Qt::Unchecked);
  dialog.AddOnlyRadio()->setChecked(true);
  dialog.Add();
  ASSERT_EQ(tasks->Count(), 2);
  EXPECT_EQ((*tasks)[1]->url, c + "9013.html");
  const archive::ComicInfo info = archive::ReadChapterInfo((*tasks)[1]->folder).value_or(archive::ComicInfo());
  EXPECT_EQ(std::tie(info.series, info.number, info.count, info.web), std::make_tuple(series, QString("3"), 3, c + "9013.html"));

  // Follow hands the address and base folder to the follow dialog and closes once followed.
  CSeriesManager manager(*tasks, setting, CSeriesList(Folder("data/series.json")));
  DlgSearchLink follow(*tasks);
  EXPECT_FALSE(follow.FollowButton()->isVisibleTo(&follow)) << "no manager, no Follow";
  follow.SetSeriesManager(&manager);
  follow.AddressEdit()->setText(site.Url("/list.html"));
  follow.FolderEdit()->setText(Folder("Tide/"));
  QTimer::singleShot(0, [] {
    auto* asked = qobject_cast<DlgFollowSeries*>(QApplication::activeModalWidget());
    ASSERT_TRUE(asked);
    asked->OnlyNewRadio()->setChecked(true);
    asked->accept();
  });
  ASSERT_TRUE(follow.Follow());
  EXPECT_EQ(follow.result(), QDialog::Accepted);
  const CSeriesRecord record = CSeriesRecord::Load(Folder("Tide")).value_or(CSeriesRecord());
  EXPECT_EQ(std::tie(record.url, record.take), std::make_tuple(site.Url("/list.html"), FirstCheck::OnlyNew));
  EXPECT_EQ(manager.Checking(), Folder("Tide")) << "its first check runs";
}
