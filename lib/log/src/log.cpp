#include "lib/log/src/log.h"

#include <cstdio>
#include <ctime>

#include "platform/src/clock.h"
#include "platform/src/fdStreamBuf.h"
#include "platform/src/localTime.h"
#include "platform/src/thread.h"
#include "platform/src/utf8.h"

namespace {

const std::int64_t logStartCount = platform::counter();

std::wstring asciiToWide(const char* ascii) {
  std::wstring out;
  while (*ascii) out += static_cast<wchar_t>(static_cast<unsigned char>(*ascii++));
  return out;
}

void appendDate(std::wstring& out) {
  static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
  const std::tm t = platform::localTime(std::time(nullptr));
  char text[16];
  std::snprintf(text, sizeof text, "%02d%s%02d ", t.tm_mday, months[t.tm_mon % 12],
                (t.tm_year + 1900) % 100);
  out += asciiToWide(text);
}

void appendTime(std::wstring& out, bool microseconds) {
  const std::tm t = platform::localTime(std::time(nullptr));
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  out += asciiToWide(text);
  if (microseconds) {
    const std::int64_t frequency = platform::counterFrequency();
    const std::int64_t elapsed = platform::counter() - logStartCount;
    const auto micros = static_cast<int>(((elapsed % frequency) * 1'000'000 + frequency / 2) /
                                         frequency % 1'000'000);
    std::snprintf(text, sizeof text, "[%06d]", micros);
    out += asciiToWide(text);
  }
  out += L' ';
}

void appendSource(std::wstring& out, const char* file, int line) {
  if (file == nullptr) {
    out += L"         ???:   ??? ";
    return;
  }
  std::string path(file);
  const auto slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = name.find_last_of('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  if (dot != std::string::npos) name.resize(dot);
  char text[512];
  std::snprintf(text, sizeof text, "%8s%-4s:%06lu ", name.c_str(), ext.c_str(),
                static_cast<unsigned long>(line));
  for (char* p = text; *p; ++p) {
    if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');  // not the user's locale
  }
  out += platform::fromUtf8(text);
}

}  // namespace

CMessageLogStreamBuf::int_type CMessageLogStreamBuf::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  return log_.putChar(traits_type::to_char_type(c));
}

int CMessageLogStreamBuf::sync() {
  return 0;
}

CMessageLog::CMessageLog(std::wstreambuf* target, std::uint32_t flags)
    : std::wostream(nullptr), flags_(flags), buffer_(*this), target_(target) {
  rdbuf(&buffer_);
}

CMessageLog::~CMessageLog() = default;

void CMessageLog::setEnabled(bool enabled) {
  enabled_ = enabled;
}

void CMessageLog::setTarget(std::wstreambuf* target, std::uint32_t flags) {
  misc::ScopedWriteLock guard(internalLock_.get(), PG_HERE);
  target_ = target;
  flags_ = flags;
}

void CMessageLog::writeRaw(const std::wostringstream& source) {
  raw_ = true;
  *this << source.str();
  raw_ = false;
}

void CMessageLog::setShowGroup(bool show) {
  showGroup_ = show;
}
void CMessageLog::setShowLineNumber(bool show) {
  showLineNumber_ = show;
}
void CMessageLog::setShowTime(bool time, bool microseconds) {
  showTime_ = time;
  showMicros_ = microseconds;
}
void CMessageLog::setShowDate(bool show) {
  showDate_ = show;
}
void CMessageLog::setShowSource(bool show) {
  showSource_ = show;
}
void CMessageLog::setShowThreadId(bool show) {
  showThreadId_ = show;
}

void CMessageLog::indent() {
  misc::ScopedWriteLock guard(internalLock_.get(), PG_HERE);
  ++indentLevel_;
}

void CMessageLog::unindent() {
  misc::ScopedWriteLock guard(internalLock_.get(), PG_HERE);
  --indentLevel_;
}

void CMessageLog::setLock(misc::ReadWriteLock* lock) {
  internalLock_.reset();
  messageLock_ = lock;
  if (lock) internalLock_ = std::make_unique<misc::ReadWriteLock>();
}

void CMessageLog::lock(const char* file, int line) {
  if (messageLock_) messageLock_->writeLock(file, line);
}

void CMessageLog::unlock(const char* file, int line) {
  if (messageLock_) messageLock_->writeUnlock(file, line);
}

CMessageLog& CMessageLog::stream(const msgGroup* group, const char* file, int line) {
  group_ = group;
  file_ = file;
  line_ = line;
  return *this;
}

bool CMessageLog::writingOn() const {
  return enabled_ && (group_ == nullptr || group_->isEnabled());
}

std::wstreambuf::int_type CMessageLog::writeEncoded(wchar_t c) {
  using traits = std::wstreambuf::traits_type;
  if (target_ == nullptr) return traits::eof();
  if (c == L'\n' && (flags_ & kCrLf)) {
    if (traits::eq_int_type(target_->sputc(L'\r'), traits::eof())) return traits::eof();
    return target_->sputc(L'\n');
  }
  if (!(flags_ & kUtf8Bytes)) return target_->sputc(c);
  std::string bytes;
  platform::appendUtf8(static_cast<char32_t>(c), bytes);
  for (char b : bytes) {
    if (traits::eq_int_type(target_->sputc(static_cast<wchar_t>(static_cast<unsigned char>(b))),
                            traits::eof())) {
      return traits::eof();
    }
  }
  return traits::to_int_type(c);
}

std::wstreambuf::int_type CMessageLog::putChar(wchar_t c) {
  misc::ScopedWriteLock guard(internalLock_.get(), PG_HERE);
  const bool on = writingOn();
  if (atLineStart_) {
    atLineStart_ = false;
    if ((flags_ & kByteOrderMark) && target_) {
      target_->sputc(static_cast<wchar_t>(0xFEFF));
      flags_ &= ~kByteOrderMark;
    }
    if (on && c != L'\n') {
      ++lineCount_;
      std::wstring prefix;
      writePrefix(prefix);
      for (wchar_t p : prefix) writeEncoded(p);
    }
  }
  auto result = on ? writeEncoded(c) : std::wstreambuf::traits_type::to_int_type(c);
  if (c == L'\n') {
    if (target_) target_->pubsync();
    atLineStart_ = true;
  }
  return result;
}

void CMessageLog::writePrefix(std::wstring& out) {
  if (raw_) return;
  char text[32];
  if (showGroup_) {
    if (group_) {
      std::snprintf(text, sizeof text, "[%03d] ", group_->getId());
      out += asciiToWide(text);
    } else {
      out += L"      ";
    }
  }
  if (showLineNumber_) {
    std::snprintf(text, sizeof text, "%06lu ", static_cast<unsigned long>(lineCount_));
    out += asciiToWide(text);
  }
  if (showDate_) appendDate(out);
  if (showTime_) appendTime(out, showMicros_);
  if (showThreadId_) {
    std::snprintf(text, sizeof text, "<%08lx> ",
                  static_cast<unsigned long>(platform::currentThreadId()));
    out += asciiToWide(text);
  }
  if (showSource_) appendSource(out, file_, line_);
  if (showLineNumber_ || showDate_ || showTime_ || showThreadId_ || showSource_) out += L"| ";
  if (indentLevel_ > 0) out.append(static_cast<std::size_t>(indentLevel_ * indentWidth_), L' ');
}

namespace {

CMessageLog& globalMessageLog() {
  // Process-lifetime objects: statics that log while being destroyed must still find them.
  static CMessageLog* log = [] {
    auto* result = new CMessageLog(&platform::standardErrorBuffer(), 0);
    result->setLock(new misc::ReadWriteLock);  // lines of different threads never interleave
    return result;
  }();
  return *log;
}

}  // namespace

CMessageLog& getMessageLog(const msgGroup* group, const char* file, int line) {
  return globalMessageLog().stream(group, file, line);
}

CMessageLog& getMessageLog(const char* file, int line) {
  return getMessageLog(nullptr, file, line);
}

CMessageLog& getMessageLog() {
  return getMessageLog(nullptr, nullptr, 0);
}

CLogMessage::CLogMessage(const msgGroup* group, const char* file, int line)
    : file_(file), line_(line), log_(globalMessageLog()) {
  log_.lock(file_, line_);
  log_.clear();  // a target failure of an earlier message must not silence this one
  log_.stream(group, file_, line_);
}

CLogMessage::~CLogMessage() {
  log_.clear();  // the line still ends after a failed write, so the next line gets its prefix
  log_ << L'\n';
  log_.flush();
  log_.unlock(file_, line_);
}
