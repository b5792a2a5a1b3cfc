#pragma once
// TextVal: a wide text together with what kind of text it holds, the value type of the
// template language. Rendering writes it unchanged, with SGML references for reserved
// characters, or percent-encoded.
//
//     TextVal v(L"a<b", TextVal::kText);
//     v.render(TextVal::kEncodeSgml);           // L"a&lt;b"
//     v.render(TextVal::kEncodePercent, L"/");  // '/' and control bytes as %XX

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tools {

// How an output format encodes each kind of value by default: one encoding per kind.
struct RenderPolicy {
  const wchar_t* name;
  int encodings[3];  // indexed by TextVal kind: unknown, text, html

  // The default encoding of a value of `type`; kinds outside the table are not encoded.
  int encodingFor(std::int32_t type) const;
};

class TextVal {
 public:
  // Kinds of text. Other numbers are carried without complaint.
  static constexpr std::int32_t kUnknown = 0;
  static constexpr std::int32_t kText = 1;
  static constexpr std::int32_t kHtml = 2;

  // Encodings for render().
  static constexpr int kEncodeNone = 0;
  static constexpr int kEncodeSgml = 1;
  static constexpr int kEncodePercent = 2;

  // Nothing encoded; HTML files encode plain text; XML feeds encode every kind.
  static const RenderPolicy kDefaultPolicy;
  static const RenderPolicy kHtmlPolicy;
  static const RenderPolicy kXmlPolicy;

  // Made and set once a directive, so kept inline.
  explicit TextVal(std::wstring value = {}, std::int32_t type = kText)
      : value_(std::move(value)), type_(type) {}
  TextVal(const TextVal&) = default;
  TextVal& operator=(const TextVal&) = default;
  virtual ~TextVal() = default;

  void set(std::wstring value, std::int32_t type) {
    value_ = std::move(value);
    type_ = type;
  }
  bool isEmpty() const { return value_.empty(); }
  const std::wstring& value() const { return value_; }
  std::int32_t type() const { return type_; }
  // Free-form text that travels with the value through copies (for example where it came
  // from); rendering ignores it.
  const std::wstring& annotation() const { return annotation_; }
  void setAnnotation(std::wstring annotation) { annotation_ = std::move(annotation); }

  // kEncodeSgml encodes the characters of `chars` ("&<" when none are given);
  // kEncodePercent encodes control bytes, '%' and the bytes of `chars` in the UTF-8 form of
  // the value; any other encoding returns the value unchanged.
  std::wstring render(int encoding, std::optional<std::wstring_view> chars = std::nullopt) const;

  // "unknown", "text", "html", else "TextValType:<number>".
  static std::wstring getTypeName(std::int32_t type);
  // "text" for kText, "html" for every other kind.
  static std::wstring getContentTypeName(std::int32_t type);
  // The policy for a file extension given with or without its dot: htm and html select the
  // HTML policy; xml, rss, rdf and atom the XML policy; anything else the default.
  static const RenderPolicy& classifyExtension(std::wstring_view extension);

 private:
  std::wstring value_;
  std::int32_t type_;
  std::wstring annotation_;
};

}  // namespace tools
