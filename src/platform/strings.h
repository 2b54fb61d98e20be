#pragma once

#include <string>
#include <string_view>

namespace pelorin {

/// The text without leading and trailing blanks and control characters (bytes up to and including the space).
std::string Trim(std::string_view text);
/// The text without trailing blanks and control characters.
std::string TrimRight(std::string_view text);
/// The text without leading blanks and control characters.
std::string TrimLeft(std::string_view text);
/// ASCII upper case.
std::string UpperCase(std::string_view text);
/// ASCII lower case.
std::string LowerCase(std::string_view text);
/// True when both texts are equal ignoring ASCII case.
bool SameText(std::string_view a, std::string_view b);
/// True when `text` starts with `prefix` ignoring ASCII case.
bool StartsWithText(std::string_view text, std::string_view prefix);
/// True when `text` ends with `suffix` ignoring ASCII case.
bool EndsWithText(std::string_view text, std::string_view suffix);
/// The UTF-8 byte-order mark some editors put at the start of a text file.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
/// The text without a leading UTF-8 byte-order mark.
std::string_view WithoutByteOrderMark(std::string_view text);
/// True when the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);
/// The text as UTF-8: kept when it is UTF-8 already, else its bytes taken as Latin-1 (files of older
/// systems).
std::string ToUtf8(std::string_view text);

} // namespace pelorin
