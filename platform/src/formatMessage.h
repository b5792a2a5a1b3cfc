#pragma once
// Message formatting from a format string, with the insert and escape rules of the
// Windows message formatter that the program's string table is written for:
//   %1 .. %99  the argument of that number, inserted unchanged (never re-read);
//              a placeholder without an argument stays as it is
//   %%  %      %n  line break   %t  tab   %r  carriage return
//   %.  .      %!  !            %<blank>  blank
//   %0         ends the output here
// Any other character after '%' is copied together with the '%'.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// Formats into `out`. Fails (false, `out` empty) when the result would not fit into a
// buffer of `bufferChars` characters with its terminating NUL; 0 means no limit.
bool formatMessage(std::wstring_view format, std::span<const std::wstring> args,
                   std::size_t bufferChars, std::wstring& out);

}  // namespace platform
