#pragma once
// Section ChannelParameters of a settings file, the one place that knows its eleven keys:
// the dialog saves it, Preview hands it to the plug-in, and the plug-in reads it. The file
// is an INI file of the configuration store (config::IniFileStore).
//
// - Reading takes URL, Title, Description, BaseUrl, MaxItems, Shorthand, SectionPattern and
//   ItemPattern-1 to -3 in that order, each trimmed and with its escapes undone
//   (getCheckedString); a missing key or section reads as empty. PageUrl and
//   PageContentType are read on request (PageOrigin); ConfigFile and any other key are
//   ignored.
// - Writing sets the same keys in the same order, then ConfigFile, into a fresh file: URL
//   and ConfigFile as they are (the plug-in must read back whatever they hold), MaxItems as
//   its number, the others escaped (setCheckedString). The store writes a section's keys
//   sorted, so the bytes depend on the values only. Preview's file also names where the page
//   came from (PageOrigin); reading leaves those keys to the plug-in.
//
// Any thread; calls share nothing but the files they name.

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

#include "channel/src/channelSettings.h"
#include "channel/src/maxItems.h"

namespace channel {

// A settings file is a few kilobytes; one larger than this is refused unread.
inline constexpr std::size_t kMostChannelFileBytes = 16 * 1024 * 1024;

// Where Preview's copy of a page came from: keys of the plug-in's temporary settings only,
// which no saved file holds; written and read as they are, trimmed.
struct PageOrigin {
  std::wstring url;          // PageUrl: the URL with its date placeholders expanded
  std::wstring contentType;  // PageContentType: the response's; empty for a local file
};

// The settings in the file at `path`, and into `origin` when given its PageOrigin keys
// (empty when absent); a file that cannot be read counts as empty. Throws
// config::Exception for an empty `path`.
ChannelSettings readChannelFile(const std::wstring& path, PageOrigin* origin = nullptr);
// The same of the bytes of a settings file.
ChannelSettings readChannelFile(std::istream& in, PageOrigin* origin = nullptr);
// The settings in `bytes`, a settings file's content already read; never throws.
ChannelSettings readChannelText(std::string_view bytes, PageOrigin* origin = nullptr);

// Replaces the file at `path` by the settings, MaxItems holding `maxItems` (what
// MaxItems::parse made of settings.m_maxItems), ConfigFile `configFile` and, when given, the
// page's origin. Throws config::Exception when the file cannot be written; the old file is
// then as it was.
void writeChannelFile(const std::wstring& path, const ChannelSettings& settings, MaxItems maxItems,
                      const std::wstring& configFile, const PageOrigin* origin = nullptr);

}  // namespace channel
