// UTF-8, the text encoding of the program: names and captions are kept in it.
// Plain code, shared by the control layer and the files.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Code points of UTF-8 text. Each ill-formed piece (the longest start of a
// sequence that cannot be completed, or a stray byte) reads as one U+FFFD.
std::u32string DecodeUtf8(std::string_view bytes);
std::string EncodeUtf8(std::u32string_view text);
// The text as it can be shown: well-formed, ill-formed pieces replaced.
std::string ValidUtf8(std::string_view bytes);

} // namespace text
