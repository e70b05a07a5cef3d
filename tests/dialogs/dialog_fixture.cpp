#include "dialog_fixture.h"

#include "common/program_folder.h"
#include "common/protocol.h"
#include "gui/dlg_folder_browser.h"
#include "gui/wnd_comic_link_drop.h"
#include "common/skin_loader.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>

namespace dialog_tests {
namespace {

// Every text says its section and key, so a test can tell which text was shown.
const char* kLanguage =
    "[app]\nLANGUAGE=Test\nNAME=Folivex\n"
    "[IDD_ADD_TASK]\n0=add title\n1=address tip\n2=folder tip\n3=start now\n4=add only\n"
    "5=browse\n6=ok\n7=cancel\n8=address label\n9=folder label\n10=add 10 not http\n"
    "11=add 11 folder unusable\n12=add 12 task exists\n13=add 13 no host\n"
    "[IDD_SEARCH_LINK]\n0=search title\n1=links label\n5=address tip\n6=folder tip\n"
    "7=help\n8=search\n9=add\n11=browse\n12=search 12 not http\n13=search 13 folder unusable\n"
    "14=search 14 no host\n15=search 15 nothing to add\n16=search 16 page failed\n"
    "40=searching\n41=found %d\n42=none found\n43=unreadable\n44=none checked\n45=all\n"
    "46=none\n47=as text\n48=text\n49=address\n50=folder\n51=text not written\n"
    "52=chapters only\n53=follow\n54=chapters %d\n"
    "20=address label\n21=folder label\n25=start now\n"
    "26=add only\n30=hint line one\\rhint line two\n35=line %d has no space\n"
    "36=line %d is not http\n37=line %d folder unusable\n"
    "[IDD_SETTING]\n0=settings\n2=limit\n3=%d task(s)\n4=continue\n5=tip\n8=ok\n9=cancel\n"
    "18=cookies unreadable\n19=lines %s skipped\n"
    "[DROP_LINK]\n0=add task\n1=hide\n2=drop here\n"
    "[FOLDER]\n1=folder 1 not absolute\n2=folder 2 is a file\n3=folder 3 not writable\n"
    "4=folder 4 in use\n5=folder 5 holds pages\n6=line %d outside\n7=line %d folder in use\n"
    "8=skipped:\\n%s\n9=folders hold pages\n10=folder 10 too long\n"
    "12=folder 12 disk full\n"
    "[OPEN]\n1=open 1 %s\n2=open 2 %s not started\n3=open 3 %s missing\n4=open 4 %s no program\n"
    "5=open 5 %s status %d\n9=copy\n"
    "[SERIES]\n13=not yet\n14=checking\n15=waiting\n16=gone\n17=never\n30=series 30 not http\n"
    "31=series 31 other series\n32=series 32 folder unusable\n40=new chapters\n41=%d new\n";

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  ASSERT_TRUE(testing_support::WriteBytes(path, bytes));
}

} // namespace

platform::LRESULT RecordingWindow::WindowProc(std::uint32_t message, platform::WPARAM wParam,
                                              platform::LPARAM lParam) {
  messages.push_back({message, wParam, lParam});
  if (message == protocol::WM_APP_ADD_LINK) {
    if (const std::unique_ptr<QString> link = CComicLinkDrop::TakeLink(wParam))
      links.push_back(*link);
  }
  return 0;
}

int RecordingWindow::Count(std::uint32_t message) const {
  int count = 0;
  for (const Message& m : messages) count += m.message == message ? 1 : 0;
  return count;
}

DialogTest::DialogTest() {
  common::SetProgramFolder(sandbox.path());
  FCSkinLoader::ResetLanguageCache();
  WriteFile(sandbox.file("language/1033.ini"), kLanguage);
  WriteFile(sandbox.file("skin/current.ini"), "[app]\nk=test\n");
  WriteFile(sandbox.file("skin/test/info.ini"), "[app]\ntip=tip.png\ndrop=drop.png\n");
  QImage picture(16, 12, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  picture.save(sandbox.file("skin/test/tip.png"));
  picture.save(sandbox.file("skin/test/drop.png"));
  QDir().mkpath(sandbox.file("task"));

  setting.folder = Folder("comics/part 1/");
  tasks = std::make_unique<CTaskManager>(setting, launcher, shutdown);
  tasks->SetEngineProgram(sandbox.file("Gantrell"));
  platform::SetOpener(&opener);
  dialogs::SetFolderBrowser([this](QWidget*, const QString& preselect) {
    browsed << preselect;
    return browserAnswer;
  });
  SetClipboard(QString());
}

DialogTest::~DialogTest() {
  dialogs::SetFolderBrowser({});
  platform::SetOpener(nullptr);
  tasks.reset();
  common::SetProgramFolder(QString());
  FCSkinLoader::ResetLanguageCache();
}

void DialogTest::SetClipboard(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
}

} // namespace dialog_tests
