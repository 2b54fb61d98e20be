#pragma once

// The parts of a model source a viewer marks: keywords of the model language, comments, texts, numbers, and
// every use of a set, coefficient, variable, equation or logical file's name (which the explorer links to
// its values).

#include "mrklang/model.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace pelorin::explore {

/// What a name of a model stands for.
enum class NameKind { None, Set, Coefficient, Variable, Equation, File };

/// A name of a model and its number among the names of its kind.
struct NameRef {
  NameKind kind = NameKind::None;
  int index = -1;
};

/// Finds a name of the model (case ignored).
NameRef LookupName(const mrk::Model& model, std::string_view name);

enum class SpanKind { Keyword, Comment, Text, Number, Name };

/// One marked part of the source: bytes [begin, begin + length).
struct SourceSpan {
  std::size_t begin = 0;
  std::size_t length = 0;
  SpanKind kind = SpanKind::Keyword;
  NameRef ref; ///< for names
};

/// The marked parts of a source in order. Without a model (a source that does not compile) only keywords,
/// comments, texts and numbers are marked.
std::vector<SourceSpan> SourceSpans(std::string_view source, const mrk::Model* model);

/// The source as HTML for a text browser: every character escaped, lines kept (a <pre> block), keywords,
/// comments, texts and numbers styled, names as links "name:KIND:INDEX" coloured by their kind.
std::string SourceHtml(std::string_view source, const std::vector<SourceSpan>& spans);
/// The link of a name in the HTML, and back; false for a link that is no name's.
std::string NameLink(const NameRef& ref);
bool ParseNameLink(std::string_view link, NameRef& ref);

} // namespace pelorin::explore
