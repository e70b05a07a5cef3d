// Language files as users download them: the listing, the display name and every text lookup
// take what they can from any file and never fail the caller.
#include "common/program_folder.h"
#include "common/skin_loader.h"
#include "fuzz_support.h"

#include <QDir>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QDir().mkpath(fuzz_support::ScratchFolder() + "/language");
  common::SetProgramFolder(fuzz_support::ScratchFolder());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::WriteScratch("language/1033.ini", data, size);
  FCSkinLoader::ResetLanguageCache();
  const QList<std::int32_t> ids = FCSkinLoader::ListLanguages();
  FUZZ_CHECK(ids.size() <= 1);
  FUZZ_CHECK(FCSkinLoader::GetCurrentLanguage() == 1033);
  FCSkinLoader::GetLanguageName(1033);
  for (const char* section : {"app", "main", "menu"})
    for (int key = 0; key < 4; ++key)
      FUZZ_CHECK(!FCSkinLoader::LoadLanguageText(section, key).contains(QLatin1String("\\n")));
  return 0;
}
