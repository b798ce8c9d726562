// Owns the plug-in's text operations: conversions between narrow, UTF-16 and FString text, formatting,
// the numeric test and splitting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/FString.h"
#include "text/FStringArray.h"

// Byte-wise: every byte becomes one code unit, a byte above 127 becomes '?'. "" gives the empty FString.
FString WidenAscii(std::string_view text);

// UTF-8 through the host's decoder, copied up to the first zero unit.
FString FromUtf8(const std::string& text);

// The units before the terminating zero as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(const FString& text);
std::string ToUtf8(std::u16string_view text);

// The text through fmt's format-string syntax with no arguments: "{{" gives "{", "}}" gives "}", any other
// brace raises fmt::format_error.
FString FormatText(std::u16string_view text);

// True for an optional leading '+' or '-' followed only by decimal digits and at most one '.'; false for
// the empty text. So "-" and "." are numeric, "1e5" and " 1" are not.
bool IsNumeric(const FString& text);

// Empties out, then appends every non-empty piece of source between occurrences of delimiter
// (case-sensitive substring search). Returns the number of pieces; 0 when source or delimiter is empty.
std::int32_t SplitIntoArray(const FString& source, std::u16string_view delimiter, FStringArray& out);
