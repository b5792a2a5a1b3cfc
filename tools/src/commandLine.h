#pragma once
// Command lines split into arguments the way a POSIX shell quotes them, with no shell: no
// expansion of variables, globs or ~, no redirection. Blanks (space, tab, newline) separate
// arguments. Inside '...' every character is literal. Inside "..." a backslash escapes only
// $ ` " \ and newline and is literal before anything else. Elsewhere a backslash makes the
// next character literal. A backslash-newline pair is removed outside single quotes.
//
//     splitCommandLine(L"'/opt/my tool' \"/tmp/a b.ini\"", args, error)
//     // args: "/opt/my tool", "/tmp/a b.ini"

#include <string>
#include <vector>

namespace tools {

// Replaces `args` by the arguments of `line`. Returns false and sets `error` to a
// localised message when the line holds no argument, leaves a quote open or ends in a
// backslash.
bool splitCommandLine(const std::wstring& line, std::vector<std::wstring>& args,
                      std::wstring& error);

}  // namespace tools
