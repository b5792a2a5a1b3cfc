// PageGlean: the scraping plug-in. See pageGleanProgram.h for what a run does.

#include <chrono>
#include <iostream>
#include <ostream>

#include "platform/src/fdStreamBuf.h"
#include "plugin/src/pageGleanProgram.h"
#include "plugin/src/urlPageSource.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::wostream err(&platform::standardErrorBuffer());
  plugin::UrlPageSource pages;
  plugin::PageGleanProgram program(pages);
  const auto now = std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                       .count();
  const int code = program.run(std::vector<std::string>(argv + 1, argv + argc), std::cout, err,
                               static_cast<std::int64_t>(now));
  err.flush();
  return code;
}
