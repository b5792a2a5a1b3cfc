#pragma once
// TemplateProcessor expands a text template: it copies the template to an output and
// replaces directives, written between "{%" and the first '}' outside quotes, by values,
// repeated or conditional blocks and included files.
//
//     {%NAME%}                          the value of NAME (unknown: echoed as {%NAME%})
//     {%NAME% default=- encode=percent chars=/}
//     {%?NAME%}...{%ELSE%}...{%ENDIF%}  NAME known and not empty ("@" is its value inside)
//     {%!NAME%}...{%ENDIF%}             NAME unknown or empty
//     {%REPEAT% items header="<ul>" footer="</ul>"}...{%REPEAT-NUMBER%}...{%/REPEAT%}
//     {%INCLUDE% part.tpl isOptional title="x"}   relative to BASE-DIR; title bound inside
//     {%REMOVE-LINK-WHITESPACE% on}  {%UNDEFINE% NAME}
//
// Names compare ignoring case. Values are TextVals; how a value is encoded follows its
// kind and the output (see TextVal::classifyExtension), unless the directive asks for an
// encoding. Subclasses decide what a name means by overriding getParameterValue.
//
//     TemplateProcessor processor;
//     processor.setParameter(L"title", L"News");
//     processor.processFileToFile(L"page.tpl", L"page.html");
//
// One thread uses a processor at a time; a processor may be run any number of times.

#include <cstddef>
#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/src/cLocale.h"
#include "templateProcessor/src/functionTable.h"
#include "templateProcessor/src/outputStream.h"
#include "templateProcessor/src/paramArgs.h"
#include "templateProcessor/src/parameterMap.h"
#include "tools/src/textVal.h"

namespace templateProcessor {

namespace internal {
class ViewStream;
class ViewStreamBuf;
}  // namespace internal

class TemplateProcessor {
 public:
  // Strings written through the output go out as UTF-8 bytes, one per character.
  static constexpr int kUtf8Output = 0x01;
  // White space just inside HTML links is dropped (see LinkWhitespaceFilter).
  static constexpr int kRemoveLinkWhitespace = 0x02;
  // An unknown parameter without a default writes nothing instead of being echoed.
  static constexpr int kDropUnknown = 0x04;
  // Template text is copied one character at a time, also where it could go a run at a
  // time: the reference that the differential fuzz target compares the runs with.
  static constexpr int kCharByChar = 0x100;

  // Blocks and includes nested deeper than this are not expanded.
  static constexpr int kMaxNesting = 64;
  // A run stops once it has met more INCLUDE directives or written more characters than
  // these: a notice takes the place of the rest of its output. Nesting is bounded above,
  // but twenty small files that each include the next twice ask for 2^20 includes, and
  // nested repeats multiply their output alike. Real templates stay far below both; an
  // output file has one byte per character.
  static constexpr std::size_t kMaxIncludes = 10'000;
  static constexpr std::size_t kMaxOutputChars = std::size_t{256} << 20;

  explicit TemplateProcessor(int flags = 0);
  virtual ~TemplateProcessor();
  TemplateProcessor(const TemplateProcessor&) = delete;
  TemplateProcessor& operator=(const TemplateProcessor&) = delete;

  // A copy of an own parameter; a missing name is first added with an empty value.
  virtual tools::TextVal getParameter(const std::wstring& name);
  virtual void setParameter(const std::wstring& name, const std::wstring& text);
  virtual void setHtmlParameter(const std::wstring& name, const std::wstring& text);
  virtual void removeParameter(const std::wstring& name);

  // Expands `input` into the file `outputPath`, encoding values for its extension.
  // Throws misc::wruntime_error when the file cannot be opened or written.
  virtual void processToFile(std::wistream& input, const std::wstring& outputPath);
  // Expands the file `templatePath` into `outputPath`; BASE-DIR becomes the template's
  // directory. Throws misc::wruntime_error when either file cannot be opened.
  virtual void processFileToFile(const std::wstring& templatePath, const std::wstring& outputPath);
  virtual void processFileToStream(const std::wstring& templatePath, std::wostream& output,
                                   const tools::RenderPolicy* table);
  // Expands `input` into `output`; without a table nothing is encoded by default.
  virtual void process(std::wistream& input, std::wostream& output,
                       const tools::RenderPolicy* table = nullptr);
  // The same expansion of text held in memory, returning the output.
  std::wstring process(std::wstring_view input, const tools::RenderPolicy* table = nullptr);

  // What a directive name means: own parameters, then the process-wide ones, then the
  // function table and the built-in functions. Returns false for an unknown name.
  virtual bool getParameterValue(const std::wstring& name, const ParamArgs& args,
                                 tools::TextVal& out);
  // Runs `callback` and yields the kind name of its value ("unknown", "text", "html" for
  // the default mode "atom10"; "text" or "html" for any other named argument "mode").
  virtual bool valueKindName(FunctionCallback callback, const ParamArgs& args, tools::TextVal& out);
  virtual bool callFunction(const FunctionEntry* table, const std::wstring& name,
                            const ParamArgs& args, tools::TextVal& out);
  virtual bool hasRepeatItem(const std::wstring& repeatName, int index);
  // Called after each expanded item; does nothing here.
  virtual void endRepeatItem(const std::wstring& repeatName, int index);
  // Sets `out` to the callback's answer and returns true when `table` has `name`.
  virtual bool callRepeatSource(const RepeatSource* table, const std::wstring& name, int index,
                                bool& out);
  // Encodes `value` as the run's table and the arguments encode= and chars= say.
  virtual void outputValue(OutputStream& output, const tools::TextVal& value,
                           const ParamArgs& args);
  // Lists the user-defined global, global and own parameters, each line indented.
  virtual void dumpParameters(std::wostream& stream, int indent);

 protected:
  virtual void processStream(std::wistream& input, OutputStream& output);
  // Handles one directive; the input is just after its "{%".
  virtual void processDirective(std::wistream& input, OutputStream& output);
  virtual void processRepeat(std::wistream& input, OutputStream& output,
                             const std::wstring& repeatName, const std::wstring& header,
                             const std::wstring& footer);
  virtual void processInclude(std::wistream& input, OutputStream& output, const std::wstring& path,
                              const ParamArgs& args);
  virtual void processConditional(std::wistream& input, OutputStream& output, bool condition);

 public:
  int getFlags() const { return flags_; }
  void setFlags(int flags) { flags_ = flags; }
  // Null-terminated tables, kept by pointer; null removes them.
  void setFunctionTable(const FunctionEntry* table) { functionTable_ = table; }
  void setRepeatSources(const RepeatSource* table) { repeatSources_ = table; }
  // The names of the REPEAT blocks being expanded, innermost last.
  const std::vector<std::wstring>& getRepeatStack() const { return repeatStack_; }
  const ParameterMap& parameters() const { return parameters_; }

 private:
  // Opens a template file and makes its directory BASE-DIR; throws when it cannot.
  void openTemplate(const std::wstring& path, std::wifstream& file);
  void run(std::wistream& input, std::wostream& output, const tools::RenderPolicy& table);
  void run(std::wistream& input, OutputStream& output, const tools::RenderPolicy& table);
  void expandText(std::wistream& input, std::wstring& text, const tools::RenderPolicy* table);
  void expandNested(std::wstring_view text, OutputStream& output);
  // Copies the plain text at the front of `text`; false when there is none to copy there
  // (the next character is a '{') or the output cannot take a run now.
  bool copyRun(internal::ViewStreamBuf& text, OutputStream& output);
  // Writes a notice and returns true when blocks are nested deeper than kMaxNesting.
  bool tooDeep(OutputStream& output);
  // True once the run is past kMaxIncludes or kMaxOutputChars; the first such call writes
  // the notice. Asked before every character, so the common answer is inline.
  bool stopped(OutputStream& output) {
    return stopped_ ||
           ((includes_ > kMaxIncludes || output.written() > kMaxOutputChars) && stop(output));
  }
  // Ends the run with the notice of the bound it passed.
  bool stop(OutputStream& output);
  void processCondition(std::wistream& input, OutputStream& output, const std::wstring& name,
                        const ParamArgs& args);
  void processParameter(OutputStream& output, const std::wstring& name, const ParamArgs& args);
  std::wstring includeKey(const std::wstring& fullPath) const;

  int flags_;
  ParameterMap parameters_;
  const FunctionEntry* functionTable_ = nullptr;
  const RepeatSource* repeatSources_ = nullptr;
  const tools::RenderPolicy* encodingTable_ = &tools::TextVal::kDefaultPolicy;
  std::vector<std::wstring> repeatStack_;
  std::set<std::wstring, platform::NoCaseLess> activeIncludes_;
  int nesting_ = 0;
  std::size_t includes_ = 0;
  bool stopped_ = false;
  // The input of process(text), kept for the next call: setting up a stream costs more than
  // expanding a short text such as a URL.
  std::unique_ptr<internal::ViewStream> textInput_;
  bool textInputBusy_ = false;
};

}  // namespace templateProcessor
