#pragma once

#include <string>

namespace platform {

// The system's text for an errno value; empty for codes the system does not know.
std::wstring systemErrorText(int code);

}  // namespace platform
