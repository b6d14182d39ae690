#pragma once

#include <string>

// A few of the system's questions are in Chinese. Where no font with
// Chinese glyphs is installed, or for a person who does not read Chinese,
// the window shows each with its English meaning beside it; the question
// itself stays as it stands.
namespace orvex {

// The English meaning of a message or question text, the numbers of the
// text put into it ("可以删除节点7吗?" -> "Delete node 7?"); empty for a
// text that needs none.
std::string englishMeaning(const std::string& text);

}  // namespace orvex
