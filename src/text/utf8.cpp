#include "text/utf8.h"

namespace text {
namespace {

// The length of the well-formed UTF-8 sequence at s[i], or minus the length of
// its longest ill-formed start, which one U+FFFD stands for.
int SequenceAt(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;   // no overlong forms
        high = lead == 0xED ? 0x9F : high; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high; // nothing above U+10FFFF
    } else {
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        const std::size_t at = i + static_cast<std::size_t>(k);
        if (at >= s.size() || byte(at) < low || byte(at) > high)
            return -k;
        low = 0x80;
        high = 0xBF;
    }
    return length;
}

} // namespace

std::u32string DecodeUtf8(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = SequenceAt(bytes, i);
        if (length < 0) {
            out += U'\uFFFD';
            i += static_cast<std::size_t>(-length);
            continue;
        }
        const auto lead = static_cast<unsigned char>(bytes[i]);
        char32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        for (int k = 1; k < length; ++k)
            c = c << 6 |
                (static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]) & 0x3Fu);
        out += c;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = U'\uFFFD';
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string ValidUtf8(std::string_view bytes) {
    return EncodeUtf8(DecodeUtf8(bytes));
}

} // namespace text
