#include "settingsEditor/src/backgroundWork.h"

#include <chrono>
#include <future>

namespace settingsEditor {

void runKeepingWindowAlive(DialogView& view, const std::function<void()>& work,
                           const std::function<void()>& tick) {
  std::future<void> done = std::async(std::launch::async, work);
  while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    view.keepAlive();
    if (tick) tick();
  }
  done.get();
}

}  // namespace settingsEditor
