#include "tools/src/textVal.h"

#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/urlEncode.h"
#include "platform/src/cLocale.h"
#include "tools/src/sgml.h"

namespace tools {
namespace {

// A character of `chars` beyond ASCII is encoded as a whole: encoding its bytes one by one
// would also hit other characters that share a byte with it and split their sequences.
std::wstring percentEncode(std::wstring_view value, std::wstring_view chars) {
  std::string ascii;
  bool beyondAscii = false;
  for (wchar_t c : chars) {
    if (c < 0x80) {
      ascii += static_cast<char>(c);
    } else {
      beyondAscii = true;
    }
  }
  if (!beyondAscii) return misc::fromUtf8(misc::urlEncode(misc::toUtf8(value), ascii));
  std::string out;
  for (wchar_t c : value) {
    const std::string bytes = misc::toUtf8(std::wstring_view(&c, 1));
    const bool whole = c >= 0x80 && chars.find(c) != std::wstring_view::npos;
    out += misc::urlEncode(bytes, whole ? bytes : ascii);
  }
  return misc::fromUtf8(out);
}

}  // namespace

const RenderPolicy TextVal::kDefaultPolicy = {L"default", {kEncodeNone, kEncodeNone, kEncodeNone}};
const RenderPolicy TextVal::kHtmlPolicy = {L"html", {kEncodeNone, kEncodeSgml, kEncodeNone}};
const RenderPolicy TextVal::kXmlPolicy = {L"xml", {kEncodeSgml, kEncodeSgml, kEncodeSgml}};

int RenderPolicy::encodingFor(std::int32_t type) const {
  if (type < 0 || type >= static_cast<std::int32_t>(std::size(encodings))) {
    return TextVal::kEncodeNone;
  }
  return encodings[type];
}

std::wstring TextVal::render(int encoding, std::optional<std::wstring_view> chars) const {
  switch (encoding) {
    case kEncodeSgml:
      return sgmlEncode(value_, chars ? *chars : std::wstring_view(L"&<"));
    case kEncodePercent:
      return percentEncode(value_, chars.value_or(std::wstring_view()));
    default:
      return value_;
  }
}

std::wstring TextVal::getTypeName(std::int32_t type) {
  switch (type) {
    case kUnknown:
      return L"unknown";
    case kText:
      return L"text";
    case kHtml:
      return L"html";
    default:
      return L"TextValType:" + std::to_wstring(type);
  }
}

std::wstring TextVal::getContentTypeName(std::int32_t type) {
  return type == kText ? L"text" : L"html";
}

const RenderPolicy& TextVal::classifyExtension(std::wstring_view extension) {
  if (!extension.empty() && extension.front() == L'.') extension.remove_prefix(1);
  for (const wchar_t* html : {L"htm", L"html"}) {
    if (platform::equalsNoCase(extension, html)) return kHtmlPolicy;
  }
  for (const wchar_t* xml : {L"xml", L"rss", L"rdf", L"atom"}) {
    if (platform::equalsNoCase(extension, xml)) return kXmlPolicy;
  }
  return kDefaultPolicy;
}

}  // namespace tools
