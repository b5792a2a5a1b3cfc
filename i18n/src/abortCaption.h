#pragma once
// The abort report's caption is string 10101 of the misc module. The report lives below the
// string machinery, so the machinery hands it the caption: automatically when the module
// chains are created, and explicitly here.

namespace i18n {

// Installs the caption source and loads the caption now, so that a later abort (perhaps on a
// lock of the string machinery itself) needs no lookup. Call at start-up.
void installAbortCaption();

namespace internal {
// Installs the caption source only; the caption is looked up when a report is shown.
void installAbortCaptionSource();
}  // namespace internal

}  // namespace i18n
