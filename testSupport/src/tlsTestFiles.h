#pragma once
// A certificate authority of the test's own and a server certificate it signed for
// 127.0.0.1 and localhost, made with the openssl program in a scratch directory that
// lives as long as the object. Linked by test programs only.

#include <string>

#include "testSupport/src/scratchDir.h"

namespace testSupport {

class TlsTestFiles {
 public:
  // Throws std::runtime_error when openssl fails or takes longer than 30 s.
  TlsTestFiles();

  std::string caFile() const { return dir_.file("ca.pem"); }
  std::string certFile() const { return dir_.file("server.pem"); }
  std::string keyFile() const { return dir_.file("server.key"); }

 private:
  ScratchDir dir_{"pgTls"};
};

}  // namespace testSupport
