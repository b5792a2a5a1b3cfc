#pragma once
// Where TLS finds the certificate authorities it trusts. A process-wide extra CA file (a PEM
// file of CA certificates, set by tests for an authority of their own) plays the part of
// curl's --cacert: when set, it wins over the environment. Otherwise the variables curl(1)
// reads name the user's own authorities. Libcurl's system directory stays in use beside a
// file, and its system bundle beside a directory.
//
// Any thread may call; caLocations reads the environment, so call it while no thread changes
// the environment.

#include <string>

namespace platform::inet {

// A PEM bundle and a directory of certificates named by hash (`openssl rehash`); empty: the
// system's default.
struct CaLocations {
  std::string file;
  std::string directory;
};

// Empty: none.
void setExtraCaFile(const std::string& path);
std::string extraCaFile();

// The extra CA file when set; else CURL_CA_BUNDLE as the file; else SSL_CERT_FILE as the file
// and SSL_CERT_DIR as the directory. A variable set to nothing counts as unset.
CaLocations caLocations();

}  // namespace platform::inet
