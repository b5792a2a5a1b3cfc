#pragma once
// The date placeholders of a channel's URL ({%Y%}, {%m%}, ... : see
// StrftimeTemplateProcessor), expanded for the current second in local time. The dialog
// downloads the URL for Preview, the plug-in the one in its settings; both expand it
// here, so that a URL names the same page in both.

#include <string>

namespace channel {

// `url` with its placeholders expanded; text outside them, a lone "%Y" included, stays as
// it is. Any thread.
std::wstring expandUrlDates(const std::wstring& url);

}  // namespace channel
