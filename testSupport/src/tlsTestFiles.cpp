#include "testSupport/src/tlsTestFiles.h"

#include <stdexcept>
#include <vector>

#include "platform/src/childProcess.h"

namespace testSupport {
namespace {

constexpr long kOpensslTimeLimitMs = 30000;

void openssl(const ScratchDir& dir, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "openssl");
  platform::ChildProcess child;
  if (!child.start(arguments, -1, -1, dir.path())) {
    throw std::runtime_error("cannot start openssl");
  }
  if (child.wait(kOpensslTimeLimitMs, nullptr) != platform::ChildProcess::WaitResult::Exited ||
      child.exitCode() != 0) {
    child.killAll();
    throw std::runtime_error("openssl " + arguments.at(1) + " failed");
  }
}

}  // namespace

TlsTestFiles::TlsTestFiles(const std::string& caName) {
  const std::vector<std::string> ecKey = {"-newkey", "ec", "-pkeyopt",
                                          "ec_paramgen_curve:prime256v1", "-nodes"};
  std::vector<std::string> ca = {"req", "-x509"};
  ca.insert(ca.end(), ecKey.begin(), ecKey.end());
  ca.insert(ca.end(), {"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj",
                       "/CN=" + caName, "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                       "keyUsage=critical,keyCertSign,cRLSign"});
  openssl(dir_, ca);
  std::vector<std::string> request = {"req"};
  request.insert(request.end(), ecKey.begin(), ecKey.end());
  request.insert(request.end(),
                 {"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=127.0.0.1"});
  openssl(dir_, request);
  dir_.write("server.ext",
             "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"
             "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
  openssl(dir_, {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                 "-CAcreateserial", "-out", "server.pem", "-days", "2", "-extfile", "server.ext"});
  dir_.write("hashed/ca.pem", dir_.read("ca.pem"));
  openssl(dir_, {"rehash", "hashed"});
}

}  // namespace testSupport
