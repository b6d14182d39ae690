#include "textcodec.h"

#include <iconv.h>

namespace orvex {

namespace {

// The length of the UTF-8 character at text[i], 0 when the bytes there are
// not one (or the text ends inside it). Overlong forms, surrogates and code
// points above U+10FFFF are not UTF-8.
std::size_t utf8Character(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // what the second byte may be
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= text.size())
            return 0;
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

// The length of the text's UTF-8 characters as far as they go; the whole
// text when it is UTF-8.
std::size_t utf8Length(std::string_view text)
{
    std::size_t i = 0;
    for (std::size_t n; i < text.size() && (n = utf8Character(text, i)) > 0;)
        i += n;
    return i;
}

// The same for GBK: a byte 0x81..0xFE starts a character of two bytes whose
// second is 0x40..0xFE but not 0x7F.
std::size_t gbkLength(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead == 0x80 || lead == 0xFF || i + 1 >= text.size())
            break;
        const auto trail = static_cast<unsigned char>(text[i + 1]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            break;
        i += 2;
    }
    return i;
}

bool fromGbk(std::string_view bytes, std::string& text)
{
    iconv_t gbk = iconv_open("UTF-8", "CP936");
    if (gbk == reinterpret_cast<iconv_t>(-1))
        gbk = iconv_open("UTF-8", "GBK");
    if (gbk == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input(bytes);
    std::string output(4 * input.size() + 4, '\0');  // a byte becomes at most three
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size(), outLeft = output.size();
    const bool read = iconv(gbk, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(gbk);
    if (!read)
        return false;
    output.resize(output.size() - outLeft);
    text = std::move(output);
    return true;
}

std::string fromLatin1(std::string_view bytes)
{
    std::string text;
    text.reserve(2 * bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += char(0xC0 | (byte >> 6));
            text += char(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

}  // namespace

std::size_t characterCut(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    std::size_t i = 0;
    if (utf8Length(text) == text.size()) {
        for (std::size_t n; (n = utf8Character(text, i)) > 0 && i + n <= limit;)
            i += n;
        return i;
    }
    if (gbkLength(text) == text.size()) {
        while (i < limit && (static_cast<unsigned char>(text[i]) < 0x80 || i + 2 <= limit))
            i += static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 2;
        return i;
    }
    return limit;
}

std::string textAsUtf8(std::string_view bytes)
{
    if (utf8Length(bytes) == bytes.size())
        return std::string(bytes);
    std::string text;
    if (fromGbk(bytes, text))
        return text;
    return fromLatin1(bytes);
}

}  // namespace orvex
