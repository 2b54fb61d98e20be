#pragma once

#include "platform/error_text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

/// The largest rich text read as a model description (32 MiB); larger ones are refused unread.
inline constexpr std::size_t kMaxRtfBytes = 32u * 1024u * 1024u;

/// Turns the rich text of a model description into HTML for a text browser; false with the reason in
/// errorText (tag "[RtfToHtml]") on input it cannot read.
bool RtfToHtml(std::string_view rtf, std::string& html, ErrorText& errorText);
/// The same, for the plain text.
bool RtfToPlainText(std::string_view rtf, std::string& text, ErrorText& errorText);
/// Reads an .rtf file and turns it into HTML; refuses files too large for a description with a clear
/// message instead of reading them.
bool RtfFileToHtml(const std::string& path, std::string& html, ErrorText& errorText);

} // namespace pelorin
