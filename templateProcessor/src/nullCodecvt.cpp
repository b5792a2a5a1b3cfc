#include "templateProcessor/src/nullCodecvt.h"

#include <algorithm>

namespace templateProcessor {

std::locale NullCodecvt::locale() {
  static const std::locale withFacet(std::locale::classic(), new NullCodecvt);
  return withFacet;
}

NullCodecvt::result NullCodecvt::do_out(state_type&, const wchar_t* from, const wchar_t* fromEnd,
                                        const wchar_t*& fromNext, char* to, char* toEnd,
                                        char*& toNext) const {
  result status = ok;
  for (; from < fromEnd; ++from, ++to) {
    if (to == toEnd) {
      status = partial;
      break;
    }
    if (*from < 0 || *from > 0xFF) {
      status = error;
      break;
    }
    *to = static_cast<char>(static_cast<unsigned char>(*from));
  }
  fromNext = from;
  toNext = to;
  return status;
}

NullCodecvt::result NullCodecvt::do_in(state_type&, const char* from, const char* fromEnd,
                                       const char*& fromNext, wchar_t* to, wchar_t* toEnd,
                                       wchar_t*& toNext) const {
  const std::size_t count =
      std::min(static_cast<std::size_t>(fromEnd - from), static_cast<std::size_t>(toEnd - to));
  for (std::size_t i = 0; i < count; ++i) to[i] = static_cast<unsigned char>(from[i]);
  fromNext = from + count;
  toNext = to + count;
  return fromNext == fromEnd ? ok : partial;
}

NullCodecvt::result NullCodecvt::do_unshift(state_type&, char* to, char*, char*& toNext) const {
  toNext = to;
  return noconv;
}

int NullCodecvt::do_length(state_type&, const char* from, const char* fromEnd,
                           std::size_t max) const {
  return static_cast<int>(std::min(static_cast<std::size_t>(fromEnd - from), max));
}

}  // namespace templateProcessor
