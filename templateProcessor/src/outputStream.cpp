#include "templateProcessor/src/outputStream.h"

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/templateProcessor.h"

namespace templateProcessor {

OutputStream::OutputStream(std::wostream& out, const TemplateProcessor& processor)
    : processor_(processor), stream_(&out) {}

OutputStream::OutputStream(std::wstring& out, const TemplateProcessor& processor)
    : processor_(processor), text_(&out) {}

OutputStream::~OutputStream() {
  try {
    flush();
  } catch (...) {
    // A stream that throws on failure must not end the process from here.
  }
}

void OutputStream::put(wchar_t c) {
  emit(std::wstring_view(&c, 1));
}

bool OutputStream::putDirect(std::wstring_view chars) {
  if ((processor_.getFlags() & TemplateProcessor::kRemoveLinkWhitespace) || !filter_.idle()) {
    return false;
  }
  writeRaw(chars);
  return true;
}

void OutputStream::write(std::wstring_view text) {
  if (!(processor_.getFlags() & TemplateProcessor::kUtf8Output)) {
    emit(text);
    return;
  }
  const std::string bytes = misc::toUtf8(text);
  std::wstring chars(bytes.size(), L'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    chars[i] = static_cast<unsigned char>(bytes[i]);
  }
  emit(chars);
}

void OutputStream::flush() {
  filter_.finish(released_);
  writeRaw(released_);
  released_.clear();
}

void OutputStream::emit(std::wstring_view chars) {
  if (!(processor_.getFlags() & TemplateProcessor::kRemoveLinkWhitespace)) {
    if (!filter_.idle()) flush();
    writeRaw(chars);
    return;
  }
  for (wchar_t c : chars) filter_.put(c, released_);
  writeRaw(released_);
  released_.clear();
}

void OutputStream::writeRaw(std::wstring_view chars) {
  if (chars.empty()) return;
  written_ += chars.size();
  if (text_) {
    text_->append(chars);
    return;
  }
  std::wstreambuf* buffer = stream_->rdbuf();
  const auto size = static_cast<std::streamsize>(chars.size());
  bool written = false;
  try {
    written = buffer && buffer->sputn(chars.data(), size) == size;
  } catch (const std::ios_base::failure&) {
    // A file buffer reports a character its conversion cannot write by throwing.
  }
  if (!written) stream_->setstate(std::ios::badbit);
}

}  // namespace templateProcessor
