#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The texts of the network's files (headings, road names, fan headings, the
// unit labels of the units settings): the files' Chinese texts are in the
// GBK code page (936), newer files and this program's own texts are UTF-8,
// anything else is taken as Latin-1.
namespace orvex {

// Where a text that must be cut to at most limit bytes is cut: the last
// character boundary at or before limit, of UTF-8 when the text is UTF-8,
// of GBK when it is made of GBK characters, else limit itself.
std::size_t characterCut(std::string_view text, std::size_t limit);

// The text as UTF-8, for what must be UTF-8 whatever the files hold (the
// batch tool's reports): the bytes themselves when they are UTF-8, else
// converted from GBK when they are GBK, else from Latin-1.
std::string textAsUtf8(std::string_view bytes);

}  // namespace orvex
