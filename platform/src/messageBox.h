#pragma once
// Message boxes for library code. The library only asks; what answers is replaceable: the
// default writes to standard error and answers OK, the application installs a dialog.

#include <functional>
#include <string>

namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No };

using MessageBoxHandler = std::function<MessageAnswer(
    const std::wstring& caption, const std::wstring& text, MessageButtons, MessageIcon)>;

// Installs `handler` (an empty one restores the default) and returns the previous one.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

MessageAnswer messageBox(const std::wstring& caption, const std::wstring& text,
                         MessageButtons buttons, MessageIcon icon);

// What messageBox() does with no handler installed: writes "caption: text" and a line end
// to standard error and answers OK. For handlers that cannot show a box at the moment.
MessageAnswer defaultMessageBox(const std::wstring& caption, const std::wstring& text);

}  // namespace platform
