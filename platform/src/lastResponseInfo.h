#pragma once
// The Internet layer's last server response text of the calling thread (the text that an
// extended error refers to). The layer sets it; error texts read it.

#include <string>

namespace platform {

std::wstring lastResponseInfo();
void setLastResponseInfo(std::wstring text);

}  // namespace platform
