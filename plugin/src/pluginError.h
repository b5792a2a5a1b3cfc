#pragma once
// A run that ends without a feed: a setting that cannot work, a page that cannot be read, a
// search that needs too much work. The message is the one line the user sees.

#include "lib/misc/src/wruntimeError.h"

namespace plugin {

class PluginError : public misc::wruntime_error {
 public:
  using misc::wruntime_error::wruntime_error;
};

}  // namespace plugin
