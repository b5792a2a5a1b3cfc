#pragma once
// NullCodecvt: a conversion facet that maps each byte to the character of the same value
// and back. Template files are read with it and output files written with it, so bytes
// pass through a run unchanged (together with kUtf8Output, values reach files as UTF-8).
// A character above 0xFF has no byte: writing one fails and marks the stream bad.

#include <cwchar>
#include <locale>

namespace templateProcessor {

class NullCodecvt : public std::codecvt<wchar_t, char, std::mbstate_t> {
 public:
  explicit NullCodecvt(std::size_t refs = 0) : codecvt(refs) {}

  // The classic locale with this facet.
  static std::locale locale();

 protected:
  result do_out(state_type& state, const wchar_t* from, const wchar_t* fromEnd,
                const wchar_t*& fromNext, char* to, char* toEnd, char*& toNext) const override;
  result do_in(state_type& state, const char* from, const char* fromEnd, const char*& fromNext,
               wchar_t* to, wchar_t* toEnd, wchar_t*& toNext) const override;
  result do_unshift(state_type& state, char* to, char* toEnd, char*& toNext) const override;
  int do_encoding() const noexcept override { return 1; }
  bool do_always_noconv() const noexcept override { return false; }
  int do_length(state_type& state, const char* from, const char* fromEnd,
                std::size_t max) const override;
  int do_max_length() const noexcept override { return 1; }
};

}  // namespace templateProcessor
