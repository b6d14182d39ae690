#pragma once

#include <array>
#include <cstring>
#include <string>
#include <string_view>

#include "textcodec.h"

namespace orvex {

// Text of at most N bytes held inside its owner, as the document's names
// and headings are: assigning longer text keeps what fits of it, cut
// between two characters (of UTF-8 or GBK, see characterCut).
template <int N>
class FixedText {
public:
    FixedText() { mData[0] = '\0'; }
    FixedText(std::string_view text) { assign(text); }  // NOLINT: converting on purpose

    void assign(std::string_view text)
    {
        const std::size_t n = characterCut(text, std::size_t(N));
        std::memcpy(mData.data(), text.data(), n);
        mData[n] = '\0';
        mSize = n;
    }
    FixedText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }

    std::string_view view() const { return {mData.data(), mSize}; }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return mData.data(); }
    std::size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    static constexpr int capacity() { return N; }

    friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
    friend bool operator!=(const FixedText& a, const FixedText& b) { return !(a == b); }

private:
    std::array<char, N + 1> mData{};
    std::size_t mSize = 0;
};

}  // namespace orvex
