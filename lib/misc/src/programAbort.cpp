#include "lib/misc/src/programAbort.h"

#include <atomic>
#include <cstdlib>

#include "lib/misc/src/textConversion.h"
#include "platform/src/messageBox.h"

namespace misc {
namespace {

std::atomic<bool> abortInProgress{false};
std::atomic<AbortCaptionSource> captionSource{nullptr};

std::wstring caption() {
  const AbortCaptionSource source = captionSource.load();
  std::wstring text = source ? source() : std::wstring();
  return text.empty() ? L"PROGRAM ABORT" : text;
}

}  // namespace

void setAbortCaptionSource(AbortCaptionSource source) {
  captionSource = source;
}

std::wstring abortReport(const std::wstring& message, const char* file, int line) {
  return L"PROGRAM ABORT: " + message + L"\n- FILE:     " + fromAnsi(file ? file : "") +
         L" (line " + std::to_wstring(line) + L")\n";
}

void programAbort(const std::wstring& message, const char* file, int line) {
  if (abortInProgress.exchange(true)) return;
  platform::messageBox(caption(), abortReport(message, file, line), platform::MessageButtons::Ok,
                       platform::MessageIcon::Warning);
  std::exit(1);
}

}  // namespace misc
