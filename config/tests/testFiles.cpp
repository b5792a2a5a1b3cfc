#include "config/tests/testFiles.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace config::test {

namespace fs = std::filesystem;

std::string dataFile(const std::string& name) {
  return (fs::path(__FILE__).parent_path() / "data" / name).string();
}

int runInChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool dropCapabilities() {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
  return ::syscall(SYS_capset, &header, data) == 0;
}

}  // namespace config::test
