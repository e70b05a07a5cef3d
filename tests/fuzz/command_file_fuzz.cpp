// Command files and hand-off files as another process (or anyone who can write the temporary
// folder) may leave them: the readers take what they can and never read past 100 items.
#include "common/command_file.h"
#include "fuzz_support.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString file = fuzz_support::WriteScratch("command.ini", data, size);
  const QStringList items = common::ReadCommandFile(file);
  FUZZ_CHECK(items.size() <= 100);
  // What was read is written back and read again unchanged, except that a written value is
  // one line (a lone carriage return inside becomes a blank). The reader takes one pair of
  // enclosing quotes off, so quoted items are left out of this check.
  const bool quoted = std::any_of(items.begin(), items.end(), [](const QString& item) {
    return item.startsWith('"') || item.startsWith('\'');
  });
  QStringList oneLine = items;
  oneLine.replaceInStrings(QStringLiteral("\r"), QStringLiteral(" "));
  if (!quoted && common::WriteCommandFile(file, items))
    FUZZ_CHECK(common::ReadCommandFile(file) == oneLine);

  const QString handOff = fuzz_support::WriteScratch("handoff.ini", data, size);
  const common::HandOff job = common::ReadHandOffFile(handOff);
  (void)job;
  return 0;
}
