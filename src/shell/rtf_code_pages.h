#pragma once

#include <cstdint>

namespace pelorin {

/// The code page a font's character set (`\fcharsetN`) stands for; 0 when the character set names none (the
/// document's code page applies). Symbol fonts (character set 2) give kSymbolCodePage.
int CodePageOfCharset(int charset);

/// A code page of its own for symbol fonts, whose bytes are glyphs rather than letters.
inline constexpr int kSymbolCodePage = 42;

/// The Unicode characters of the bytes 0x80 to 0xFF of a single-byte code page (the common Windows, DOS and
/// Mac pages; bytes a page leaves undefined give U+FFFD); Windows-1252's for a code page without a table
/// here.
const char16_t* UpperHalfTable(int codePage);

/// The Unicode character of a byte of a symbol font that stands for a list bullet or mark; 0 for other bytes.
char32_t SymbolGlyph(unsigned char byte);

/// True for the double-byte code pages (932, 936, 949, 950), whose characters take two bytes.
bool IsDoubleByteCodePage(int codePage);

/// True when `byte` starts a two-byte character in a double-byte code page.
bool IsLeadByte(int codePage, unsigned char byte);

} // namespace pelorin
