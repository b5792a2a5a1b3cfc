#pragma once
// Reading a page stored on disk, with the limits that every reader of local pages keeps:
// regular files only, no larger than the page limit of the network settings (bodyLimit.h),
// and never a wait on a pipe or a device (they are refused before they are opened; see
// platform::readRegularFile).
//
//     std::string bytes;
//     const auto result = readLocalPage(path, [&](std::string_view b) { bytes += b; });
//     if (!result.ok()) report(localPageErrorText(result));
//
// Any thread may call; nothing is kept between calls. The file is closed before the call
// returns, also when `take` throws (its exception passes through).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/src/readWholeFile.h"

namespace net {

// `path` is a local path (fileUrlPath() makes one of a file: URL); the bytes go to `take`
// block by block. The result says at which stage reading failed and why.
platform::RegularFileResult readLocalPage(const std::wstring& path,
                                          const std::function<void(std::string_view)>& take);

// The reason of a failure, in the words of the system ("No such file or directory", "Is a
// directory"), "Not a regular file (a pipe, a device or a socket)" (11553) for those, or
// the page limit's "The page is larger than <limit>.". Empty for success.
std::wstring localPageErrorText(const platform::RegularFileResult& result);

}  // namespace net
