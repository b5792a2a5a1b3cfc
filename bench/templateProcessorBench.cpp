// Template expansion throughput on a large generated template: MB/s of template text.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "templateProcessor/src/functionTable.h"
#include "templateProcessor/src/templateProcessor.h"

namespace {

using templateProcessor::TemplateProcessor;

bool fourItems(TemplateProcessor&, int index) {
  return index <= 4;
}
const templateProcessor::RepeatSource kSources[] = {{L"items", fourItems}, {nullptr, nullptr}};

// About 1 MB of HTML-like text with parameters (plain and encoded), conditionals, unknown
// names with defaults and a REPEAT block every few hundred characters.
std::wstring directiveTemplate() {
  std::wstring t;
  for (int i = 0; t.size() < 1'000'000; ++i) {
    t += L"<div class=\"item\">\n  <h2>{%title%}</h2>\n  <p>{%body% encode=sgml}</p>\n";
    t += L"  {%?link%}<a href=\"{%link% encode=percent chars=\\\" \\\"}\">more</a>{%ELSE%}";
    t += L"none{%ENDIF%}\n  {%missing% default=\"-\"} {%!empty%}empty{%ENDIF%}\n";
    if (i % 8 == 0) {
      t += L"  <ul>{%REPEAT% items header=\"<li>\"}<li>{%REPEAT-NUMBER%}. {%title%}</li>";
      t += L"{%/REPEAT%}</ul>\n";
    }
    t += L"</div>\n";
  }
  return t;
}

std::wstring plainTemplate() {
  std::wstring t;
  while (t.size() < 1'000'000) t += L"<p>Plain text with { braces } and 100% no directives.</p>\n";
  return t;
}

void expand(benchmark::State& state, const std::wstring& text) {
  TemplateProcessor processor;
  processor.setRepeatSources(kSources);
  processor.setParameter(L"title", L"A title & more");
  processor.setParameter(L"body", L"Body text <with> markup & entities \u00e9");
  processor.setParameter(L"link", L"http://example.net/a b?c=\"d\"");
  processor.setParameter(L"empty", L"");
  std::size_t produced = 0;
  for (auto _ : state) {
    std::wistringstream input(text);
    std::wostringstream output;
    processor.process(input, output);
    produced = output.str().size();
    benchmark::DoNotOptimize(produced);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["output_chars"] = static_cast<double>(produced);
}

void BM_TemplateWithDirectives(benchmark::State& state) {
  static const std::wstring text = directiveTemplate();
  expand(state, text);
}
BENCHMARK(BM_TemplateWithDirectives)->Unit(benchmark::kMillisecond);

void BM_TemplatePlainText(benchmark::State& state) {
  static const std::wstring text = plainTemplate();
  expand(state, text);
}
BENCHMARK(BM_TemplatePlainText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
