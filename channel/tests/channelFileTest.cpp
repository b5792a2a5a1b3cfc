#include "channel/src/channelFile.h"

#include <gtest/gtest.h>

#include "lib/misc/src/textConversion.h"
#include "testSupport/src/scratchDir.h"

namespace channel {
namespace {

// A different text under every key, some needing the file's escapes, so that a key read
// into or written from the wrong field shows.
ChannelSettings distinctSettings() {
  ChannelSettings settings;
  settings.m_url = L"http://example.org/{%Y%}/100%";
  settings.m_title = L"Harbour news";
  settings.m_description = L"Quays \u00e9t\u00e9 \u6e2f";
  settings.m_baseUrl = L"http://example.org/base/";
  settings.m_maxItems = L" 7x";
  settings.m_shorthand = L"div.news a";
  settings.m_sectionPattern = L"<ul>{%}</ul>";
  settings.m_itemPattern = {L"<li>{%title}</li>", L"<p>{%link}; 50%</p>", L"[{*}]=x"};
  return settings;
}

TEST(ChannelFileTest, WhatIsWrittenReadsBackKeyByKeyWithMaxItemsAsItsNumber) {
  testSupport::ScratchDir dir("pgChannel");
  const ChannelSettings written = distinctSettings();
  writeChannelFile(dir.wfile("c.ini"), written, *MaxItems::parse(written.m_maxItems),
                   L"/tmp/tarvo config");

  ChannelSettings expected = written;
  expected.m_maxItems = L"7";
  EXPECT_EQ(readChannelFile(dir.wfile("c.ini")), expected);
  const std::string bytes = dir.read("c.ini");
  EXPECT_NE(bytes.find("\r\nMaxItems=7\r\n"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("\r\nConfigFile=/tmp/tarvo config\r\n"), std::string::npos) << bytes;
  EXPECT_EQ(bytes.find("Other"), std::string::npos) << bytes;
}

// Each key under a name of its own, so that a key read into the wrong field shows.
TEST(ChannelFileTest, AHandWrittenFileIsReadWhateverTheCaseOrderAndNeighbours) {
  testSupport::ScratchDir dir("pgChannel");
  dir.write("hand.ini",
            "[Other]\nTitle=not this\n"
            "[channelparameters]\nitempattern-3 =  <b>{%25title}</b>  \nurl=page.html\n"
            "ConfigFile=/elsewhere\nExtra=1\nMAXITEMS=3\nTitle=T\nDescription=D\n"
            "BaseUrl=B\nShorthand=S\nSectionPattern=P\nItemPattern-1=I1\nItemPattern-2=I2\n");
  ChannelSettings expected;
  expected.m_url = L"page.html";
  expected.m_title = L"T";
  expected.m_description = L"D";
  expected.m_baseUrl = L"B";
  expected.m_maxItems = L"3";
  expected.m_shorthand = L"S";
  expected.m_sectionPattern = L"P";
  expected.m_itemPattern = {L"I1", L"I2", L"<b>{%title}</b>"};
  EXPECT_EQ(readChannelFile(dir.wfile("hand.ini")), expected);

  // Without the section, or without a file, every text is empty, Max items too.
  dir.write("none.ini", "[Other]\nTitle=x\n");
  for (const char* name : {"none.ini", "missing.ini"}) {
    ChannelSettings empty;
    empty.m_maxItems.clear();
    EXPECT_EQ(readChannelFile(dir.wfile(name)), empty) << name;
  }
}

}  // namespace
}  // namespace channel
