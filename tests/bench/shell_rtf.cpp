// Speed of the rich-text reader on a description of 5 MB, as a word processor writes one: font and colour
// tables, a style sheet, paragraphs with changing formatting, accented letters as "\'hh", Unicode with its
// fallback, list bullets and small pictures in hexadecimal (text makes up four fifths of it). The target is
// under 50 ms for the HTML.
#include "shell/rtf_reader.h"

#include <benchmark/benchmark.h>

namespace pelorin {
namespace {

std::string Description(std::size_t bytes) {
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\froman\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}"
      "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green77\\blue187;}"
      "{\\stylesheet{\\s0 Normal;}{\\s1\\b\\fs32 heading 1;}}{\\*\\generator Writer 1.0;}\\viewkind4\\uc1\n";
  const std::string paragraph =
      "\\pard\\sa200\\sl276\\slmult1\\qj\\f0\\fs22 The model describes an economy with \\b three goods\\b0 , "
      "\\i two factors\\i0  and one household. Prices of \\cf2 caf\\'e9 \\cf0 and cr\\'e8me are given in "
      "\\u8364? and the elasticity \\u963?s is 0.5 \\endash  see the \\ul notes\\ulnone .\\par\n"
      "{\\pntext\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2{\\pntxtb\\'b7}}\\fi-360\\li720 A bullet point with "
      "\\ldblquote quotes\\rdblquote\\par\n";
  std::string picture = "{\\pict\\pngblip\\picw100\\pich100 ";
  for (int i = 0; i < 200; ++i) {
    picture += "89504e470d0a1a0a0000000d49484452";
  }
  picture += "}\\par\n";
  while (rtf.size() < bytes) {
    for (int i = 0; i < 50 && rtf.size() < bytes; ++i) {
      rtf += paragraph;
    }
    rtf += picture;
  }
  rtf += "}";
  return rtf;
}

void BM_RtfToHtmlFiveMegabytes(benchmark::State& state) {
  const std::string rtf = Description(5u << 20);
  std::string html;
  ErrorText error;
  for (auto _ : state) {
    if (!RtfToHtml(rtf, html, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(html.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfToHtmlFiveMegabytes)->Unit(benchmark::kMillisecond);

void BM_RtfToPlainTextFiveMegabytes(benchmark::State& state) {
  const std::string rtf = Description(5u << 20);
  std::string text;
  ErrorText error;
  for (auto _ : state) {
    if (!RtfToPlainText(rtf, text, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_RtfToPlainTextFiveMegabytes)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace pelorin
