#pragma once
// A string table read entry by entry: a language pack's or the program's own.

#include <memory>
#include <string>

namespace platform {
class SharedLibrary;
}

namespace i18n {

class StringModule {
 public:
  // The pack's string entry point (see languagePack.h for its contract).
  using LoadString = int (*)(int id, char* buffer, int bufferSize);

  // Loads the language pack library at `path`; null when it cannot be loaded or lacks the
  // string entry point, with the reason in `error`.
  static std::unique_ptr<StringModule> openLibrary(const std::wstring& path, std::wstring& error);
  // The program's own table.
  static std::unique_ptr<StringModule> programTable();

  ~StringModule();
  StringModule(const StringModule&) = delete;
  StringModule& operator=(const StringModule&) = delete;

  // Whether the module exports `name`; the program's own table exports nothing.
  bool exports(const char* name) const;
  // The entry point's contract; a reply outside 0 .. bufferSize - 1 is clamped into it.
  int loadString(int id, char* buffer, int bufferSize) const;

 private:
  StringModule(std::unique_ptr<platform::SharedLibrary> library, LoadString load);

  std::unique_ptr<platform::SharedLibrary> library_;
  LoadString load_;
};

}  // namespace i18n
