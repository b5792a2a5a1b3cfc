#pragma once
// File helpers of the config tests: the shared scratch directories and file reads, and
// children that run under the file permissions even when the tests run as root.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "testSupport/src/scratchDir.h"

namespace config::test {

using TempDir = testSupport::ScratchDir;
using testSupport::listDirectory;
using testSupport::readBytes;
using testSupport::writeBytes;

// A file of this folder's data/ directory.
std::string dataFile(const std::string& name);

// Runs `body` in a forked child and returns its exit code; 128 + n when signal n ended it.
int runInChild(const std::function<int()>& body);

// Drops every capability of the calling process, so that file permissions bind it even as
// root. Meant for forked children; false when the system refused.
bool dropCapabilities();

}  // namespace config::test
