#pragma once
// One process-wide addition to the certificates that TLS trusts: a PEM file of CA
// certificates, trusted besides the system's store by every request sent after it was
// set (tests use it for a certificate authority of their own). Empty: none.

#include <string>

namespace platform::inet {

void setExtraCaFile(const std::string& path);
std::string extraCaFile();

}  // namespace platform::inet
