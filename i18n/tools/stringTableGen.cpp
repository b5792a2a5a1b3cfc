// Turns the string table's data file into a C++ source with a sorted array of entries.
//
// Data file: one string per line, "<id><TAB><text>"; blank lines and lines starting with
// '#' are skipped. Texts are UTF-8 and may use the escapes \n \t \r and \\.
// Fails (exit 1) on a malformed line or a repeated id.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

bool unescape(const std::string& text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i >= text.size()) return false;
    switch (text[i]) {
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        return false;
    }
  }
  return true;
}

// A C++ literal of the UTF-8 bytes; the program decodes them at start-up.
std::string literal(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F && c != '?') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\%03o", c);
      out += buf;
    }
  }
  return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: stringTableGen <strings.txt> <output.cpp>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << argv[1] << ": cannot open\n";
    return 1;
  }
  std::map<long, std::string> table;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    std::string text;
    char* end = nullptr;
    const long id = tab == std::string::npos ? -1 : std::strtol(line.c_str(), &end, 10);
    if (id < 0 || end != line.c_str() + tab || !unescape(line.substr(tab + 1), text)) {
      std::cerr << argv[1] << ":" << number << ": malformed line\n";
      return 1;
    }
    if (!table.emplace(id, text).second) {
      std::cerr << argv[1] << ":" << number << ": id " << id << " repeated\n";
      return 1;
    }
  }
  std::ostringstream out;
  out << "// Generated from the string table's data file; do not edit.\n"
      << "#include \"i18n/src/stringTable.h\"\n\nnamespace i18n::internal {\n\n"
      << "const StringTableEntry kStringTable[] = {\n";
  for (const auto& [id, text] : table) out << "    {" << id << ", " << literal(text) << "},\n";
  out << "};\n\nconst std::size_t kStringTableSize = " << table.size() << ";\n\n"
      << "}  // namespace i18n::internal\n";
  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file << out.str();
  return file ? 0 : 1;
}
