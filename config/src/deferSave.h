#pragma once

namespace config {

class Store;

// While a store has at least one of these registered, its automatic saves wait; releasing
// the last one saves (see Store::releaseDeferSave). Whoever allocates a token owns it.
struct DeferSave {
  Store* store;
  // Set by a queued delayed save: its release must write even if nothing else asks to.
  bool force = false;
};

}  // namespace config
