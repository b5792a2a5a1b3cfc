#include "templateProcessor/src/templateProcessor.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <typeinfo>

#include "lib/filesys/src/filesys.h"
#include "lib/log/src/log.h"
#include "lib/misc/src/scopedFlag.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "templateProcessor/src/blockReader.h"
#include "templateProcessor/src/builtinFunctions.h"
#include "templateProcessor/src/byteFiles.h"
#include "templateProcessor/src/charStream.h"
#include "templateProcessor/src/globalParameters.h"
#include "templateProcessor/src/istring.h"
#include "templateProcessor/src/parameterBindings.h"
#include "templateProcessor/src/viewStream.h"

namespace templateProcessor {
namespace {

using tools::TextVal;
using namespace std::string_view_literals;

msgGroup templateGroup(L"templateProcessor");

// The character whose code reads as the end of the input when taken one at a time.
constexpr wchar_t kEndChar = static_cast<wchar_t>(internal::CharTraits::eof());

constexpr int kTemplateFileError = 13101;
constexpr int kOutputFileError = 13102;
constexpr int kIncludeFileError = 13103;
constexpr int kRecursiveInclude = 13104;
constexpr int kOutputWriteError = 13105;
constexpr int kNestedTooDeeply = 13106;
constexpr int kTooManyIncludes = 13107;
constexpr int kTooMuchOutput = 13108;

std::wstring message(int id, const std::wstring& argument) {
  return internal::istring(id).format(argument);
}

// The directory of `path` without its trailing '/', except for the root itself.
std::wstring baseDirOf(const std::wstring& path) {
  std::wstring dir = tools::getDirectory(path);
  while (dir.size() > 1 && dir.back() == L'/') dir.pop_back();
  return dir;
}

class DepthScope {
 public:
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int& depth_;
};

class StackEntry {
 public:
  StackEntry(std::vector<std::wstring>& stack, const std::wstring& name) : stack_(stack) {
    stack_.push_back(name);
  }
  ~StackEntry() { stack_.pop_back(); }
  StackEntry(const StackEntry&) = delete;
  StackEntry& operator=(const StackEntry&) = delete;

 private:
  std::vector<std::wstring>& stack_;
};

template <typename Set>
class SetEntry {
 public:
  SetEntry(Set& set, const typename Set::value_type& value)
      : set_(set), position_(set.insert(value).first) {}
  ~SetEntry() { set_.erase(position_); }
  SetEntry(const SetEntry&) = delete;
  SetEntry& operator=(const SetEntry&) = delete;

 private:
  Set& set_;
  typename Set::iterator position_;
};

}  // namespace

TemplateProcessor::TemplateProcessor(int flags) : flags_(flags) {}

TemplateProcessor::~TemplateProcessor() = default;

TextVal TemplateProcessor::getParameter(const std::wstring& name) {
  return parameters_.try_emplace(name, L"", TextVal::kText).first->second;
}

void TemplateProcessor::setParameter(const std::wstring& name, const std::wstring& text) {
  parameters_.insert_or_assign(name, TextVal(text, TextVal::kText));
}

void TemplateProcessor::setHtmlParameter(const std::wstring& name, const std::wstring& text) {
  parameters_.insert_or_assign(name, TextVal(text, TextVal::kHtml));
}

void TemplateProcessor::removeParameter(const std::wstring& name) {
  parameters_.erase(name);
}

void TemplateProcessor::processToFile(std::wistream& input, const std::wstring& outputPath) {
  std::wofstream file;
  if (!internal::openByteOutput(outputPath, file)) {
    throw misc::wruntime_error(message(kOutputFileError, outputPath));
  }
  std::wstring extension;
  tools::splitPath(outputPath, nullptr, nullptr, nullptr, &extension);
  run(input, file, TextVal::classifyExtension(extension));
  bool closed = false;
  try {
    file.close();
    closed = !file.fail();
  } catch (const std::ios_base::failure&) {
    // The last buffered characters could not be converted.
  }
  if (!closed) throw misc::wruntime_error(message(kOutputWriteError, outputPath));
}

void TemplateProcessor::processFileToFile(const std::wstring& templatePath,
                                          const std::wstring& outputPath) {
  std::wifstream templateFile;
  openTemplate(templatePath, templateFile);
  processToFile(templateFile, outputPath);
}

void TemplateProcessor::processFileToStream(const std::wstring& templatePath, std::wostream& output,
                                            const tools::RenderPolicy* table) {
  std::wifstream templateFile;
  openTemplate(templatePath, templateFile);
  process(templateFile, output, table);
}

void TemplateProcessor::process(std::wistream& input, std::wostream& output,
                                const tools::RenderPolicy* table) {
  run(input, output, table ? *table : TextVal::kDefaultPolicy);
}

std::wstring TemplateProcessor::process(std::wstring_view input, const tools::RenderPolicy* table) {
  std::wstring text;
  text.reserve(input.size());  // most text is copied as it is
  if (input.find(kEndChar) != std::wstring_view::npos) {
    // Block bodies read from memory do not stop at it: a stream reads this text as given.
    std::wistringstream in{std::wstring(input)};
    expandText(in, text, table);
    return text;
  }
  if (textInputBusy_) {  // a run started from inside a run
    internal::ViewStream in(input);
    expandText(in, text, table);
    return text;
  }
  if (!textInput_) textInput_ = std::make_unique<internal::ViewStream>(input);
  textInput_->reset(input);
  misc::ScopedFlag busy(textInputBusy_);
  expandText(*textInput_, text, table);
  return text;
}

void TemplateProcessor::expandText(std::wistream& input, std::wstring& text,
                                   const tools::RenderPolicy* table) {
  OutputStream out(text, *this);  // written to the end when it goes
  run(input, out, table ? *table : TextVal::kDefaultPolicy);
}

bool TemplateProcessor::getParameterValue(const std::wstring& name, const ParamArgs& args,
                                          TextVal& out) {
  const auto found = parameters_.find(name);
  if (found != parameters_.end()) {
    out = found->second;
    return true;
  }
  if (internal::findGlobalParameter(name, out)) return true;
  if (functionTable_ && callFunction(functionTable_, name, args, out)) return true;
  return callFunction(internal::builtinFunctions(), name, args, out);
}

bool TemplateProcessor::valueKindName(FunctionCallback callback, const ParamArgs& args,
                                      TextVal& out) {
  TextVal value;
  if (!callback || !callback(*this, args, value)) return false;
  const bool atom10 = platform::equalsNoCase(args.namedOr(L"mode", L"atom10"), L"atom10");
  out.set(atom10 ? TextVal::getTypeName(value.type()) : TextVal::getContentTypeName(value.type()),
          TextVal::kText);
  return true;
}

bool TemplateProcessor::callFunction(const FunctionEntry* table, const std::wstring& name,
                                     const ParamArgs& args, TextVal& out) {
  for (const FunctionEntry* entry = table; entry && entry->name; ++entry) {
    if (platform::equalsNoCase(entry->name, name)) {
      return entry->callback && entry->callback(*this, args, out);
    }
  }
  return false;
}

bool TemplateProcessor::hasRepeatItem(const std::wstring& repeatName, int index) {
  bool hasItem = false;
  return repeatSources_ && callRepeatSource(repeatSources_, repeatName, index, hasItem) && hasItem;
}

void TemplateProcessor::endRepeatItem(const std::wstring&, int) {}

bool TemplateProcessor::callRepeatSource(const RepeatSource* table, const std::wstring& name,
                                         int index, bool& out) {
  for (const RepeatSource* entry = table; entry && entry->name; ++entry) {
    if (platform::equalsNoCase(entry->name, name)) {
      out = entry->callback && entry->callback(*this, index);
      return true;
    }
  }
  return false;
}

void TemplateProcessor::outputValue(OutputStream& output, const TextVal& value,
                                    const ParamArgs& args) {
  int mode = encodingTable_->encodingFor(value.type());
  const bool named = !args.named().empty();
  const std::wstring* given = named ? args.findNamed(L"chars") : nullptr;
  std::wstring_view chars = given ? std::wstring_view(*given) : std::wstring_view();
  if (const std::wstring* encode = named ? args.findNamed(L"encode") : nullptr) {
    if (platform::equalsNoCase(*encode, L"sgml")) {
      mode = TextVal::kEncodeSgml;
    } else if (platform::equalsNoCase(*encode, L"percent")) {
      mode = TextVal::kEncodePercent;
    } else if (platform::equalsNoCase(*encode, L"none")) {
      mode = TextVal::kEncodeNone;
    }
  }
  if (mode == TextVal::kEncodeSgml && chars.empty()) chars = L"<&";
  if (mode == TextVal::kEncodeSgml || mode == TextVal::kEncodePercent) {
    output.write(value.render(mode, chars));
  } else {
    output.write(value.value());  // what rendering without an encoding would copy
  }
}

void TemplateProcessor::dumpParameters(std::wostream& stream, int indent) {
  const std::wstring margin(indent > 0 ? static_cast<std::size_t>(indent) : 0, L' ');
  const auto section = [&](const wchar_t* title, const ParameterMap& map) {
    stream << margin << title << L'\n';
    for (const auto& [name, value] : map) {
      stream << margin << L"  " << name << L" = \"" << value.value() << L"\"\n";
    }
  };
  section(L"--- USER-DEFINED GLOBAL PARAMETERS ---", internal::userDefinedGlobalParameters());
  section(L"--- GLOBAL PARAMETERS ---", internal::globalParameters());
  section(L"--- TEMPLATE PARAMETERS ---", parameters_);
}

void TemplateProcessor::processStream(std::wistream& input, OutputStream& output) {
  // Text held in memory is copied a run at a time, up to the next '{'.
  std::wstreambuf* buffer = input.rdbuf();
  // Only the exact type: a cheap test, and a class derived from it could read differently.
  auto* text =
      !(flags_ & kCharByChar) && buffer && typeid(*buffer) == typeid(internal::ViewStreamBuf)
          ? static_cast<internal::ViewStreamBuf*>(buffer)
          : nullptr;
  while (!stopped(output)) {
    if (text && copyRun(*text, output)) continue;
    const internal::CharInt c = internal::nextChar(input);
    if (internal::isEnd(c)) return;
    const auto ch = static_cast<wchar_t>(c);
    const internal::CharInt next = ch == L'{' ? internal::peekChar(input) : c;
    if (ch == L'{' && !internal::isEnd(next) && static_cast<wchar_t>(next) == L'%') {
      internal::nextChar(input);
      processDirective(input, output);
    } else {
      output.put(ch);
    }
  }
}

bool TemplateProcessor::copyRun(internal::ViewStreamBuf& text, OutputStream& output) {
  const std::wstring_view rest = text.rest();
  if (rest.empty() || rest.front() == L'{') return false;
  // As many characters as one at a time would write before the output bound stops the run.
  const std::size_t budget = kMaxOutputChars + 1 - output.written();
  std::wstring_view run = rest.substr(0, std::min({rest.find(L'{'), rest.size(), budget}));
  run = run.substr(0, run.find(kEndChar));  // one at a time, it would end the text there
  if (run.empty() || !output.putDirect(run)) return false;
  text.skip(run.size());
  return true;
}

void TemplateProcessor::processDirective(std::wistream& input, OutputStream& output) {
  std::wstring name;
  for (internal::CharInt c = internal::nextChar(input); static_cast<wchar_t>(c) != L'%';
       c = internal::nextChar(input)) {
    if (internal::isEnd(c)) return;  // the directive is dropped
    name += static_cast<wchar_t>(c);
  }
  const ParamArgs args = ParamArgs::parse(input);
  if (platform::equalsNoCase(name, L"REPEAT"sv)) {
    processRepeat(input, output, args.firstPositional(), args.namedOr(L"header", L""),
                  args.namedOr(L"footer", L""));
  } else if (platform::equalsNoCase(name, L"INCLUDE"sv)) {
    processInclude(input, output, args.firstPositional(), args);
  } else if (!name.empty() && (name.front() == L'?' || name.front() == L'!')) {
    processCondition(input, output, name, args);
  } else {
    processParameter(output, name, args);
  }
}

void TemplateProcessor::processRepeat(std::wistream& input, OutputStream& output,
                                      const std::wstring& repeatName, const std::wstring& header,
                                      const std::wstring& footer) {
  std::wstring storage;
  const std::wstring_view body = internal::readRepeatBody(input, storage);
  StackEntry repeating(repeatStack_, repeatName);
  DepthScope depth(nesting_);
  int index = 1;
  for (; !stopped(output) && hasRepeatItem(repeatName, index); ++index) {
    if (index == 1) {
      if (tooDeep(output)) return;
      output.write(header);
    }
    internal::ParameterBindings bindings(parameters_);
    bindings.bind(L"REPEAT-NUMBER", TextVal(std::to_wstring(index), TextVal::kText));
    expandNested(body, output);
    endRepeatItem(repeatName, index);
  }
  if (index > 1 && !stopped_) output.write(footer);
}

void TemplateProcessor::processInclude(std::wistream&, OutputStream& output,
                                       const std::wstring& path, const ParamArgs& args) {
  ++includes_;
  if (stopped(output)) return;
  const auto base = parameters_.find(L"BASE-DIR");
  // An absolute path names its file wherever the including template lives.
  const bool absolute = !path.empty() && path.front() == L'/';
  const std::wstring full = tools::makePath(
      L"", base == parameters_.end() || absolute ? L"" : base->second.value(), path);
  const std::wstring key = includeKey(full);
  if (activeIncludes_.contains(key)) {
    PG_LOG(templateGroup) << L"Recursive include " << full;
    output.write(message(kRecursiveInclude, full));
    return;
  }
  std::wifstream file;
  if (!internal::openByteInput(full, file)) {
    PG_LOG(templateGroup) << L"Can't open include " << full;
    if (!args.hasPositional(L"isOptional")) output.write(message(kIncludeFileError, full));
    return;
  }
  DepthScope depth(nesting_);
  if (tooDeep(output)) return;
  internal::ParameterBindings bindings(parameters_);
  for (const auto& [name, value] : args.named())
    bindings.bind(name, TextVal(value, TextVal::kText));
  SetEntry including(activeIncludes_, key);
  bindings.bind(L"BASE-DIR", TextVal(baseDirOf(full), TextVal::kText));
  processStream(file, output);
}

void TemplateProcessor::processConditional(std::wistream& input, OutputStream& output,
                                           bool condition) {
  std::wstring storage;
  const internal::ConditionalParts parts = internal::readConditionalParts(input, storage);
  const std::wstring_view part = condition ? parts.thenPart : parts.elsePart;
  if (part.empty()) return;
  DepthScope depth(nesting_);
  if (tooDeep(output)) return;
  expandNested(part, output);
}

void TemplateProcessor::openTemplate(const std::wstring& path, std::wifstream& file) {
  if (!internal::openByteInput(path, file)) {
    throw misc::wruntime_error(message(kTemplateFileError, path));
  }
  setParameter(L"BASE-DIR", baseDirOf(path));
}

void TemplateProcessor::run(std::wistream& input, std::wostream& output,
                            const tools::RenderPolicy& table) {
  OutputStream out(output, *this);
  run(input, out, table);
}

void TemplateProcessor::run(std::wistream& input, OutputStream& output,
                            const tools::RenderPolicy& table) {
  encodingTable_ = &table;
  includes_ = 0;
  stopped_ = false;
  processStream(input, output);
}

void TemplateProcessor::expandNested(std::wstring_view text, OutputStream& output) {
  internal::ViewStream stream(text);
  processStream(stream, output);
}

bool TemplateProcessor::tooDeep(OutputStream& output) {
  if (nesting_ <= kMaxNesting) return false;
  output.write(internal::istring(kNestedTooDeeply));
  return true;
}

bool TemplateProcessor::stop(OutputStream& output) {
  stopped_ = true;
  PG_LOG(templateGroup) << L"Expansion stopped after " << includes_ << L" includes and "
                        << output.written() << L" characters";
  output.write(includes_ > kMaxIncludes
                   ? message(kTooManyIncludes, std::to_wstring(kMaxIncludes))
                   : message(kTooMuchOutput, std::to_wstring(kMaxOutputChars)));
  return true;
}

void TemplateProcessor::processCondition(std::wistream& input, OutputStream& output,
                                         const std::wstring& name, const ParamArgs& args) {
  TextVal value;
  const bool found = getParameterValue(name.substr(1), args, value);
  if (name.front() == L'!') {
    processConditional(input, output, !found || value.isEmpty());
    return;
  }
  if (!found) value.set(L"", TextVal::kText);
  internal::ParameterBindings bindings(parameters_);
  bindings.bind(L"@", value);
  processConditional(input, output, found && !value.isEmpty());
}

void TemplateProcessor::processParameter(OutputStream& output, const std::wstring& name,
                                         const ParamArgs& args) {
  TextVal value;
  if (getParameterValue(name, args, value)) {
    outputValue(output, value, args);
  } else if (const std::wstring* fallback = args.findNamed(L"default")) {
    output.write(*fallback);
  } else if (!(flags_ & kDropUnknown)) {
    output.write(L"{%" + name + L"%}");
  }
}

// Paths of one file written differently ("a/./b", a symbolic link) must meet in the guard,
// else a file could include itself without end.
std::wstring TemplateProcessor::includeKey(const std::wstring& fullPath) const {
  std::error_code error;
  const std::filesystem::path canonical =
      std::filesystem::weakly_canonical(std::filesystem::path(misc::toAnsi(fullPath)), error);
  return error ? fullPath : misc::fromAnsi(canonical.string());
}

}  // namespace templateProcessor
