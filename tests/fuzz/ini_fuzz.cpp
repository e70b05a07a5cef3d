// The INI reader and writer on any file: UTF-16 with its byte-order mark or UTF-8, broken
// sections, endless lines, stray bytes. Reads must respect the buffer, and a write must keep
// every other key readable as before.
#include "common/ini_rules.h"
#include "common/profile.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace common;
  const QString file = fuzz_support::WriteScratch("profile.ini", data, size);
  for (const char* section : {"app", "APP", "a", ""}) {
    for (const char* key : {"0", "k", "LANGUAGE", ""}) {
      const ProfileRead read = GetPrivateProfileString(section, key, "default", 8, file);
      FUZZ_CHECK(read.length == read.value.size() && read.length <= 7);
    }
  }
  const std::optional<QString> before = ReadProfileString(file, "other");
  ReadProfileInt(file, "k");
  if (WriteProfileString(file, "k", "value\nwith a line break")) {
    FUZZ_CHECK(ReadProfileString(file, "k") == QString("value with a line break"));
    FUZZ_CHECK(ReadProfileString(file, "other") == before);
  }
  return 0;
}
