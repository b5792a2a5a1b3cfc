#pragma once
// The last resort when a lock wait fails: a "PROGRAM ABORT" report through the message-box
// handler, then exit code 1 (exit handlers and static destructors run).

#include <string>

namespace misc {

// Shows the report and ends the process. Returns at once, doing nothing, while another
// abort report is in progress; its caller then carries on.
void programAbort(const std::wstring& message, const char* file, int line);

// The report's text: "PROGRAM ABORT: <message>\n- FILE:     <file> (line <line>)\n".
std::wstring abortReport(const std::wstring& message, const char* file, int line);

// The localised-strings layer sits above this library and supplies the caption here.
using AbortCaptionSource = std::wstring (*)();
void setAbortCaptionSource(AbortCaptionSource source);

}  // namespace misc
