#pragma once
// The process-wide message log: a wide output stream that puts an optional prefix (group,
// line number, date, time, thread, source) and an indentation before every line and hands
// each character on to a target stream buffer at once.
//
// Writing a diagnostic message:
//     PG_LOG(someGroup) << L"Loaded " << count << L" keys";   // only if the group is on
//     PG_LOG_ALWAYS() << L"WARNING: ...";                      // ungrouped, always written
// Each statement is one message: it holds the log's message lock, and ends with a line break.

#include <cstdint>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "lib/log/src/msgGroup.h"
#include "lib/misc/src/readWriteLock.h"

class CMessageLog;

// A stream buffer without a buffer: every character goes straight to CMessageLog::putChar.
class CMessageLogStreamBuf : public std::wstreambuf {
 public:
  explicit CMessageLogStreamBuf(CMessageLog& log) : log_(log) {}

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  CMessageLog& log_;
};

class CMessageLog : public std::wostream {
 public:
  // Output flags.
  static constexpr std::uint32_t kUtf8Bytes = 1;      // each UTF-8 byte as one character
  static constexpr std::uint32_t kByteOrderMark = 2;  // U+FEFF before the first character
  static constexpr std::uint32_t kCrLf = 4;           // U+000D before every U+000A

  CMessageLog(std::wstreambuf* target, std::uint32_t flags);
  ~CMessageLog() override;

  virtual void setEnabled(bool enabled);
  virtual void setTarget(std::wstreambuf* target, std::uint32_t flags);
  // Copies the source's text with the prefix suppressed, so none appears inside it.
  virtual void writeRaw(const std::wostringstream& source);
  virtual void setShowGroup(bool show);
  virtual void setShowLineNumber(bool show);
  virtual void setShowTime(bool time, bool microseconds);
  virtual void setShowDate(bool show);
  virtual void setShowSource(bool show);
  virtual void setShowThreadId(bool show);
  virtual void indent();
  virtual void unindent();
  // Null makes the log unlocked again; otherwise `lock` orders whole messages and an
  // internal lock orders characters and the indentation.
  virtual void setLock(misc::ReadWriteLock* lock);
  virtual void lock(const char* file, int line);
  virtual void unlock(const char* file, int line);
  virtual std::wstreambuf::int_type putChar(wchar_t c);
  virtual void writePrefix(std::wstring& out);

  misc::ReadWriteLock* getLock() const { return messageLock_; }
  std::wstreambuf* getTarget() const { return target_; }
  // Stores the context of the message about to be written.
  CMessageLog& stream(const msgGroup* group, const char* file, int line);
  void setIndentWidth(int width) { indentWidth_ = width; }
  std::uint32_t lineCount() const { return lineCount_; }

 private:
  bool writingOn() const;
  std::wstreambuf::int_type writeEncoded(wchar_t c);

  bool enabled_ = true;
  std::uint32_t flags_;
  bool raw_ = false;
  bool showGroup_ = false, showLineNumber_ = false, showTime_ = false, showMicros_ = false,
       showDate_ = false, showThreadId_ = false, showSource_ = false;
  std::uint32_t lineCount_ = 0;
  const msgGroup* group_ = nullptr;
  const char* file_ = nullptr;
  int line_ = 0;
  int indentLevel_ = 0;
  int indentWidth_ = 2;
  CMessageLogStreamBuf buffer_;
  std::wstreambuf* target_;
  bool atLineStart_ = true;
  misc::ReadWriteLock* messageLock_ = nullptr;
  std::unique_ptr<misc::ReadWriteLock> internalLock_;
};

// The global log, bound to standard error (as UTF-8) with output flags 0, after `stream`.
CMessageLog& getMessageLog(const msgGroup* group, const char* file, int line);
CMessageLog& getMessageLog(const char* file, int line);
CMessageLog& getMessageLog();

// One message on the global log: holds its message lock, ends the line when destroyed.
class CLogMessage {
 public:
  CLogMessage(const msgGroup* group, const char* file, int line);
  ~CLogMessage();
  CLogMessage(const CLogMessage&) = delete;
  CLogMessage& operator=(const CLogMessage&) = delete;
  std::wostream& stream() { return log_; }

 private:
  const char* file_;
  int line_;
  CMessageLog& log_;
};

#define PG_LOG(group)         \
  if (!(group).isEnabled()) { \
  } else                      \
    CLogMessage(&(group), __FILE__, __LINE__).stream()

#define PG_LOG_ALWAYS() CLogMessage(nullptr, __FILE__, __LINE__).stream()
