#include "platform/src/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

namespace {

// A registry file under a temporary XDG_CONFIG_HOME.
class RegistryTest : public testing::Test {
 protected:
  void write(const std::string& text) { scratch_.write("tarvo/registry.ini", text); }

  testSupport::ScratchDir scratch_{"registryTest"};
  const std::filesystem::path dir_ = scratch_.root();
  const testSupport::ScopedVariable configHome_{"XDG_CONFIG_HOME", scratch_.path()};
};

}  // namespace

TEST_F(RegistryTest, FileLivesUnderTheConfigHome) {
  EXPECT_EQ(platform::registryFilePath(), (dir_ / "tarvo/registry.ini").string());
  ::unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  EXPECT_EQ(platform::registryFilePath(),
            std::string(home ? home : "") + "/.config/tarvo/registry.ini");
}

TEST_F(RegistryTest, ValuesHaveTheirTypes) {
  write(
      "[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:deu\nPath=expand_sz:%HOME%/x\n"
      "Alerts=dword:1\nHex=DWORD:0x1F\nBadNumber=dword:12abc\nTooBig=dword:4294967296\n"
      "Untyped=hello\nBinary=binary:00ff\nLeadingZero=dword:010\nNine=dword:09\n"
      "Signed=dword:+5\nHexWithoutDigits=dword:0x\nTwoHexPrefixes=dword:0x0x5\n");
  platform::RegistryKey key;
  ASSERT_EQ(key.open(L"software\\tarvo\\TARVO\\Lang"), 0);
  platform::RegistryValue v;
  ASSERT_EQ(key.queryValue(L"langid", v, 1024), 0);
  EXPECT_EQ(v.type, platform::kRegSz);
  EXPECT_EQ(v.text, L"deu");
  ASSERT_EQ(key.queryValue(L"Path", v, 1024), 0);
  EXPECT_EQ(v.type, platform::kRegExpandSz);
  EXPECT_EQ(v.text, L"%HOME%/x");
  ASSERT_EQ(key.queryValue(L"Alerts", v, 4), 0);
  EXPECT_EQ(v.type, platform::kRegDword);
  EXPECT_EQ(v.dword, 1u);
  ASSERT_EQ(key.queryValue(L"Hex", v, 4), 0);
  EXPECT_EQ(v.dword, 31u);
  ASSERT_EQ(key.queryValue(L"LeadingZero", v, 4), 0);
  EXPECT_EQ(v.type, platform::kRegDword);
  EXPECT_EQ(v.dword, 10u) << "decimal, not octal";
  ASSERT_EQ(key.queryValue(L"Nine", v, 4), 0);
  EXPECT_EQ(v.type, platform::kRegDword);
  EXPECT_EQ(v.dword, 9u);
  for (const wchar_t* name : {L"BadNumber", L"TooBig", L"Untyped", L"Binary", L"Signed",
                              L"HexWithoutDigits", L"TwoHexPrefixes"}) {
    ASSERT_EQ(key.queryValue(name, v, 1024), 0) << name;
    EXPECT_EQ(v.type, platform::kRegNone) << name;
  }
}

TEST_F(RegistryTest, AbsentKeysValuesAndTooSmallBuffers) {
  platform::RegistryKey key;
  EXPECT_EQ(key.open(L"Software\\Tarvo\\Tarvo\\lang"), platform::kRegistryNotFound) << "no file";
  write("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:deu\n");
  EXPECT_EQ(key.open(L"Software\\Tarvo\\Tarvo"), platform::kRegistryNotFound) << "no such key";
  platform::RegistryValue v;
  EXPECT_EQ(key.queryValue(L"LangId", v, 1024), platform::kRegistryNotFound) << "key not open";
  ASSERT_EQ(key.open(L"Software\\Tarvo\\Tarvo\\lang"), 0);
  EXPECT_EQ(key.queryValue(L"Other", v, 1024), platform::kRegistryNotFound);
  EXPECT_EQ(key.queryValue(L"LangId", v, 8), 0) << "three characters and a NUL, two bytes each";
  EXPECT_EQ(key.queryValue(L"LangId", v, 7), EOVERFLOW);
  // U+1F600 takes two UTF-16 units: "a", the pair and the NUL make eight bytes.
  write("[Software\\Tarvo\\Tarvo\\lang]\nLangId=sz:a\xF0\x9F\x98\x80\n");
  ASSERT_EQ(key.open(L"Software\\Tarvo\\Tarvo\\lang"), 0);
  EXPECT_EQ(key.queryValue(L"LangId", v, 8), 0);
  EXPECT_EQ(key.queryValue(L"LangId", v, 7), EOVERFLOW);
}
