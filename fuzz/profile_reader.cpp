// config.dat as any bytes: the document keeps them all, and a written key reads back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/ProfileDocument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kelmo::ProfileDocument document = kelmo::ProfileDocument::Parse(text);
  if (document.Text() != text) std::abort();
  document.Find("General", "SaveDir");
  if (!document.Set("General", "Tuner", "5")) std::abort();
  if (document.Find("general", "TUNER") != "5") std::abort();
  const kelmo::ProfileDocument again = kelmo::ProfileDocument::Parse(document.Text());
  if (again.Find("General", "Tuner") != "5") std::abort();
  return 0;
}
