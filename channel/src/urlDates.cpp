#include "channel/src/urlDates.h"

#include "templateProcessor/src/strftimeTemplateProcessor.h"

namespace channel {

std::wstring expandUrlDates(const std::wstring& url) {
  tools::StrftimeTemplateProcessor processor(0);
  return processor.process(url);
}

}  // namespace channel
