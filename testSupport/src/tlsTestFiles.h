#pragma once
// A certificate authority of the test's own and a server certificate for 127.0.0.1 and
// localhost, good or faulty in one way, made with the openssl program in a scratch
// directory that lives as long as the object; the authority also sits alone in a directory
// named by hash. Linked by test programs only.

#include <string>

#include "testSupport/src/scratchDir.h"

namespace testSupport {

class TlsTestFiles {
 public:
  enum class Server {
    Good,        // signed by the CA of caFile()
    WrongName,   // signed by it, for other.invalid only
    Expired,     // signed by it, valid until yesterday
    SelfSigned,  // signed by its own key
    UnknownCa,   // signed by another CA, which no file names
  };

  // `caName` is the authority's common name: authorities that share a name hide each other.
  // Throws std::runtime_error when openssl fails or takes longer than 30 s.
  explicit TlsTestFiles(Server server = Server::Good,
                        const std::string& caName = "Loopback Test CA");
  explicit TlsTestFiles(const std::string& caName) : TlsTestFiles(Server::Good, caName) {}

  std::string caFile() const { return dir_.file("ca.pem"); }
  // Holds the authority as <subject hash>.0, as TLS libraries look it up.
  std::string caDirectory() const { return dir_.file("hashed"); }
  std::string certFile() const { return dir_.file("server.pem"); }
  std::string keyFile() const { return dir_.file("server.key"); }

 private:
  // <name>.pem and <name>.key.
  void makeCa(const std::string& name, const std::string& subject) const;

  ScratchDir dir_{"pgTls"};
};

}  // namespace testSupport
