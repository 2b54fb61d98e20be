// A model's description as HTML for the Text page's browser, or as plain text: the parser's output written
// out. The HTML keeps paragraphs (alignment, indents, spacing) and runs of characters (font, size, colour,
// bold, italic, underline, strike-through, raised and lowered text); it is escaped throughout.

#include "shell/rtf_reader.h"

#include "shell/rtf_parser.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace pelorin {

namespace {

// Points as CSS text: twips / 20, or half points / 2, with no more digits than needed.
std::string Points(int value, int per) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value) / per,
                                    std::chars_format::fixed, value % per == 0 ? 0 : 2);
  std::string text(buffer, result.ptr);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') {
      text.pop_back();
    }
  }
  return text + "pt";
}

void AppendEscaped(std::string& out, std::string_view text) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
    case '&':
      entity = "&amp;";
      break;
    case '<':
      entity = "&lt;";
      break;
    case '>':
      entity = "&gt;";
      break;
    case '"':
      entity = "&quot;";
      break;
    default:
      continue;
    }
    out.append(text.substr(begin, i - begin)).append(entity);
    begin = i + 1;
  }
  out.append(text.substr(begin));
}

// A font's name made safe inside a quoted CSS name inside an HTML attribute.
std::string CssFontName(std::string_view name) {
  std::string safe;
  for (const char c : name) {
    if (c != '\'' && c != '"' && c != '\\' && c != ';' && c != '<' && c != '>' && c != '&' && c != '{' &&
        c != '}' && static_cast<unsigned char>(c) >= 0x20) {
      safe.push_back(c);
    }
  }
  while (!safe.empty() && safe.back() == ' ') {
    safe.pop_back();
  }
  return safe;
}

class PlainTextSink : public rtf::Sink {
public:
  explicit PlainTextSink(std::string& out) : out_(out) {}
  void Text(std::string_view utf8, const rtf::CharFormat&) override { out_.append(utf8); }
  void Tab(const rtf::CharFormat&) override { out_.push_back('\t'); }
  void LineBreak(const rtf::CharFormat&) override { out_.push_back('\n'); }
  void OptionalHyphen(const rtf::CharFormat&) override {}
  void EndParagraph(const rtf::ParaFormat&) override { out_.push_back('\n'); }
  std::size_t Size() const override { return out_.size(); }

private:
  std::string& out_;
};

class HtmlSink : public rtf::Sink {
public:
  HtmlSink(std::string& body, const rtf::Tables& tables) : body_(body), tables_(tables) {}

  void Text(std::string_view utf8, const rtf::CharFormat& format) override {
    Span(format);
    AppendEscaped(paragraph_, utf8);
  }
  void Tab(const rtf::CharFormat& format) override {
    Span(format);
    paragraph_.push_back('\t');
  }
  void LineBreak(const rtf::CharFormat& format) override {
    Span(format);
    paragraph_.append("<br/>");
  }
  void OptionalHyphen(const rtf::CharFormat& format) override {
    Span(format);
    paragraph_.append("&shy;");
  }
  void EndParagraph(const rtf::ParaFormat& format) override {
    CloseSpan();
    body_.append("<p style=\"").append(Cached(paraStyles_, format, ParagraphStyle)).append("\">");
    body_.append(paragraph_.empty() ? std::string_view("<br/>") : std::string_view(paragraph_));
    body_.append("</p>\n");
    paragraph_.clear();
  }
  std::size_t Size() const override { return body_.size() + paragraph_.size(); }

  /// The style of the document's body: its default font at 12 points.
  std::string BodyStyle() const {
    std::string style = FontFamily(tables_.defaultFont);
    return style + (style.empty() ? "" : " ") + "font-size:12pt;";
  }

private:
  std::string FontFamily(int number) const {
    const rtf::Font* font = tables_.FindFont(number);
    if (font == nullptr) {
      return {};
    }
    const std::string name = CssFontName(font->name);
    std::string family;
    if (!name.empty()) {
      family = "'" + name + "'";
    }
    if (!font->generic.empty()) {
      family += (family.empty() ? "" : ",") + font->generic;
    }
    return family.empty() ? family : "font-family:" + family + ";";
  }

  // The span's style: what differs from the body's defaults.
  std::string SpanStyle(const rtf::CharFormat& f) const {
    std::string style;
    if (f.font >= 0 && f.font != tables_.defaultFont) {
      style += FontFamily(f.font);
    }
    if (f.halfPoints != 24) {
      style += " font-size:" + Points(f.halfPoints, 2) + ";";
    }
    if (f.bold) {
      style += " font-weight:bold;";
    }
    if (f.italic) {
      style += " font-style:italic;";
    }
    if (f.underline || f.strike) {
      style += std::string(" text-decoration:") + (f.underline ? "underline" : "") +
               (f.underline && f.strike ? " " : "") + (f.strike ? "line-through" : "") + ";";
    }
    if (f.color > 0 && static_cast<std::size_t>(f.color) < tables_.colors.size() &&
        tables_.colors[static_cast<std::size_t>(f.color)].defined) {
      const rtf::Color& c = tables_.colors[static_cast<std::size_t>(f.color)];
      char hex[16];
      std::snprintf(hex, sizeof hex, "#%02x%02x%02x", c.red, c.green, c.blue);
      style += std::string(" color:") + hex + ";";
    }
    if (f.vertical != 0) {
      style += f.vertical > 0 ? " vertical-align:super;" : " vertical-align:sub;";
    }
    if (!style.empty() && style.front() == ' ') {
      style.erase(0, 1);
    }
    return style;
  }

  static std::string ParagraphStyle(const rtf::ParaFormat& f) {
    // Spaces and tabs in rich text are the writer's own, so they are kept as they stand.
    std::string style = "margin-top:" + Points(f.spaceBefore, 20) +
                        "; margin-bottom:" + Points(f.spaceAfter, 20) + "; white-space:pre-wrap;";
    if (f.leftIndent != 0) {
      style += " margin-left:" + Points(f.leftIndent, 20) + ";";
    }
    if (f.rightIndent != 0) {
      style += " margin-right:" + Points(f.rightIndent, 20) + ";";
    }
    if (f.firstIndent != 0) {
      style += " text-indent:" + Points(f.firstIndent, 20) + ";";
    }
    switch (f.align) {
    case 'c':
      style += " text-align:center;";
      break;
    case 'r':
      style += " text-align:right;";
      break;
    case 'j':
      style += " text-align:justify;";
      break;
    default:
      break;
    }
    return style;
  }

  void Span(const rtf::CharFormat& format) {
    if (spanOpen_ && format == spanFormat_) {
      return;
    }
    if (!spanOpen_ && format == plainFormat_) {
      return;
    }
    CloseSpan();
    const std::string& style =
        Cached(spanStyles_, format, [this](const rtf::CharFormat& f) { return SpanStyle(f); });
    spanFormat_ = format;
    if (style.empty()) {
      plainFormat_ = format; // looks like the body: no span needed
      return;
    }
    paragraph_.append("<span style=\"").append(style).append("\">");
    spanOpen_ = true;
  }

  void CloseSpan() {
    if (spanOpen_) {
      paragraph_.append("</span>");
      spanOpen_ = false;
    }
  }

  // A description uses a handful of formats over and over: each one's style is made once. The style is
  // kept escaped for the attribute. Past a limit (junk with endless formats) styles are made each time.
  template <typename Format, typename Make>
  const std::string& Cached(std::vector<std::pair<Format, std::string>>& cache, const Format& format,
                            Make make) {
    for (auto& [known, style] : cache) {
      if (known == format) {
        return style;
      }
    }
    std::string style;
    AppendEscaped(style, make(format));
    if (cache.size() >= kMaxCachedStyles) {
      uncached_ = std::move(style);
      return uncached_;
    }
    cache.emplace_back(format, std::move(style));
    return cache.back().second;
  }

  static constexpr std::size_t kMaxCachedStyles = 64;
  std::vector<std::pair<rtf::CharFormat, std::string>> spanStyles_;
  std::vector<std::pair<rtf::ParaFormat, std::string>> paraStyles_;
  std::string uncached_;
  std::string& body_;
  const rtf::Tables& tables_;
  std::string paragraph_;
  bool spanOpen_ = false;
  rtf::CharFormat spanFormat_;
  rtf::CharFormat plainFormat_; // the last format found to need no span
};

bool TooLarge(std::size_t size, std::string_view what, std::string_view tag, ErrorText& errorText) {
  return Fail(errorText,
              std::string(what) + " is too large for a model description: " + std::to_string(size) +
                  " bytes, at most " + std::to_string(kMaxRtfBytes),
              tag);
}

} // namespace

bool RtfToHtml(std::string_view rtf, std::string& html, ErrorText& errorText) {
  constexpr std::string_view kTag = "[RtfToHtml]";
  html.clear();
  if (rtf.size() > kMaxRtfBytes) {
    return TooLarge(rtf.size(), "The rich text", kTag, errorText);
  }
  std::string body;
  body.reserve(rtf.size() + rtf.size() / 4);
  rtf::Tables tables;
  HtmlSink sink(body, tables);
  if (!rtf::Parse(rtf, sink, tables, kTag, errorText)) {
    return false;
  }
  html.reserve(body.size() + 256);
  html.append("<html><head><meta charset=\"utf-8\"></head>\n<body style=\"");
  AppendEscaped(html, sink.BodyStyle());
  html.append("\">\n").append(body).append("</body></html>\n");
  return true;
}

bool RtfToPlainText(std::string_view rtf, std::string& text, ErrorText& errorText) {
  constexpr std::string_view kTag = "[RtfToPlainText]";
  text.clear();
  if (rtf.size() > kMaxRtfBytes) {
    return TooLarge(rtf.size(), "The rich text", kTag, errorText);
  }
  text.reserve(rtf.size() / 2);
  rtf::Tables tables;
  PlainTextSink sink(text);
  if (!rtf::Parse(rtf, sink, tables, kTag, errorText)) {
    text.clear();
    return false;
  }
  return true;
}

bool RtfFileToHtml(const std::string& path, std::string& html, ErrorText& errorText) {
  namespace fs = std::filesystem;
  constexpr std::string_view kTag = "[RtfFileToHtml]";
  html.clear();
  std::error_code ec;
  // Only a regular file is read: a pipe or device could block or never end.
  if (!fs::is_regular_file(path, ec)) {
    return Fail(errorText, "Cannot open file " + path, kTag);
  }
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) {
    return Fail(errorText, "Cannot open file " + path, kTag);
  }
  if (size > kMaxRtfBytes) {
    return TooLarge(static_cast<std::size_t>(size), "The file " + path, kTag, errorText);
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    return Fail(errorText, "Cannot open file " + path, kTag);
  }
  // Read in one go at the size found; a file that grows meanwhile is still held to the limit.
  std::string rtf;
  rtf.reserve(static_cast<std::size_t>(size) + 1);
  char chunk[65536];
  bool failed = false;
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    rtf.append(chunk, got);
    if (rtf.size() > kMaxRtfBytes || got < sizeof chunk) {
      failed = std::ferror(file) != 0;
      break;
    }
  }
  std::fclose(file);
  if (failed) {
    return Fail(errorText, "read error from file " + path, kTag);
  }
  if (rtf.size() > kMaxRtfBytes) {
    return TooLarge(rtf.size(), "The file " + path, kTag, errorText);
  }
  if (!RtfToHtml(rtf, html, errorText)) {
    return AddTag(errorText, kTag);
  }
  return true;
}

} // namespace pelorin
