#include "testSupport/src/tlsTestFiles.h"

#include <stdexcept>
#include <vector>

#include "platform/src/childProcess.h"

namespace testSupport {
namespace {

constexpr long kOpensslTimeLimitMs = 30000;
const std::vector<std::string> kEcKey = {"-newkey", "ec", "-pkeyopt",
                                         "ec_paramgen_curve:prime256v1", "-nodes"};

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

TlsTestFiles::TlsTestFiles(Server server, const std::string& caName) {
  makeCa("ca", "/CN=" + caName);
  std::vector<std::string> request = {"req"};
  request.insert(request.end(), kEcKey.begin(), kEcKey.end());
  request.insert(request.end(),
                 {"-keyout", "server.key", "-out", "server.csr", "-subj",
                  server == Server::WrongName ? "/CN=other.invalid" : "/CN=127.0.0.1"});
  openssl(dir_, request);
  dir_.write("server.ext",
             "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"
             "subjectAltName=" +
                 std::string(server == Server::WrongName ? "DNS:other.invalid"
                                                         : "IP:127.0.0.1,DNS:localhost") +
                 "\n");
  std::vector<std::string> sign = {
      "x509",     "-req",       "-in",   "server.csr",
      "-out",     "server.pem", "-days", server == Server::Expired ? "-1" : "2",
      "-extfile", "server.ext"};
  if (server == Server::SelfSigned) {
    sign.insert(sign.end(), {"-key", "server.key"});
  } else {
    const std::string ca = server == Server::UnknownCa ? "other" : "ca";
    if (server == Server::UnknownCa) makeCa(ca, "/CN=Unknown Test CA");
    sign.insert(sign.end(), {"-CA", ca + ".pem", "-CAkey", ca + ".key", "-CAcreateserial"});
  }
  openssl(dir_, sign);
  dir_.write("hashed/ca.pem", dir_.read("ca.pem"));
  openssl(dir_, {"rehash", "hashed"});
}

void TlsTestFiles::makeCa(const std::string& name, const std::string& subject) const {
  std::vector<std::string> ca = {"req", "-x509"};
  ca.insert(ca.end(), kEcKey.begin(), kEcKey.end());
  ca.insert(ca.end(), {"-keyout", name + ".key", "-out", name + ".pem", "-days", "2", "-subj",
                       subject, "-addext", "basicConstraints=critical,CA:TRUE", "-addext",
                       "keyUsage=critical,keyCertSign,cRLSign"});
  openssl(dir_, ca);
}

}  // namespace testSupport
