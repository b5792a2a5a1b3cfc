// Prints which of three groups the environment switched on.
#include <cstdio>

#include "lib/log/src/msgGroup.h"

static msgGroup alpha(L"Alpha"), beta(L"Beta"), gamma(L"gamma");

int main() {
  std::printf("alpha=%d beta=%d gamma=%d\n", alpha.isEnabled(), beta.isEnabled(),
              gamma.isEnabled());
  return 0;
}
