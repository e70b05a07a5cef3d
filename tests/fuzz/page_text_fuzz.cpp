// Page numbers and total page counts read from web page text: any text gives -1 or a number,
// and a total only from the digits between its markers.
#include "engine/page_jump.h"
#include "fake_document.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz_support::FuzzInput input(data, size);
  const QString digits = fuzz_support::TextOf(input);
  const std::int32_t number = ParsePageDigits(digits);
  FUZZ_CHECK(number >= -1);
  if (number >= 0) {
    for (QChar c : digits)
      FUZZ_CHECK((c >= u'0' && c <= u'9') || c == QChar(0x20) || c == QChar(0x3000));
  }

  testing_support::FakeDocument document;
  document.pageText = fuzz_support::TextOf(input);
  document.pageTitle = fuzz_support::TextOf(input);
  document.Add("span").id = QStringLiteral("spDataCount");
  document.elements.back()->innerText = fuzz_support::TextOf(input);
  FUZZ_CHECK(TotalPagesFromText(&document) >= -1);

  const QString link = NormaliseLinkText(digits);
  FUZZ_CHECK(!link.contains(QChar(0x20)) && !link.contains(QChar(0x3000)));
  return 0;
}
