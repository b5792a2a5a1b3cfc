// A small language pack for the tests. Built twice: complete, and without the pack marker
// (PG_SAMPLE_PACK_UNMARKED), which the chain must skip.

#include <algorithm>
#include <cstring>
#include <string>

#include "i18n/src/languagePack.h"

namespace {

struct Entry {
  int id;
  const char* text;
};

const std::string& longText() {
  static const std::string text(5000, 'L');  // longer than two read steps
  return text;
}

constexpr Entry kEntries[] = {
    {10101, "PROGRAMMABBRUCH"},
    {11160, "%1 Byte (pack)"},
    {13090, "[*:11159:1>11160:*]"},  // 11159 only the program's own table holds
    {13089, "[*:5:*] "},             // rejected control strings
    {13096, "[*:0:*]"},
    {13097, "[*:5:1>0:*]"},
    {13098, "[*:5:1>6*]"},
    {13099, "[*:5:1>6:x*]"},
    {13093, "[*:13094:7>13095:*]"},
    {13094, "pack default"},
    {13095, "pack seven"},
    {14026, "\xC3\x84nderungen speichern?"},
    {14027, "from the pack"},
    {14028, "from the pack"},
    {14029, ""},  // empty: treated as absent
};

}  // namespace

extern "C" {

#ifndef PG_SAMPLE_PACK_UNMARKED
__attribute__((visibility("default"))) const char* get_lang_id(void) {
  return "deu";
}

__attribute__((visibility("default"))) const void* get_afx_extension_module(void) {
  return &kEntries;
}
#endif

__attribute__((visibility("default"))) int get_string(int id, char* buffer, int bufferSize) {
  const char* text = nullptr;
  if (id == 11258) text = longText().c_str();
  for (const Entry& e : kEntries) {
    if (e.id == id) text = e.text;
  }
  if (text == nullptr || bufferSize <= 0) return 0;
  const int length = std::min(static_cast<int>(std::strlen(text)), bufferSize - 1);
  std::memcpy(buffer, text, static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

}  // extern "C"
