#include "meanings.h"

#include <cctype>
#include <vector>

namespace orvex {

namespace {

// Each text as the system writes it, "%d" standing for a whole number, and
// its meaning with the same numbers in the same order.
struct Meaning {
    const char* text;
    const char* english;
};

constexpr Meaning kMeanings[] = {
    {"数据没有存盘,保存吗?", "The data have not been saved: save them?"},
    {"可以删除节点%d吗?", "Delete node %d?"},
    {"可以删除风机%d - %d吗?", "Delete fan %d - %d?"},
};

// Whether text is pattern with whole numbers in the places of its "%d",
// which are gathered in numbers.
bool matches(const std::string& pattern, const std::string& text, std::vector<std::string>& numbers)
{
    numbers.clear();
    std::size_t p = 0, t = 0;
    while (p < pattern.size()) {
        if (pattern.compare(p, 2, "%d") == 0) {
            const std::size_t start = t;
            if (t < text.size() && text[t] == '-')
                ++t;
            const std::size_t digits = t;
            while (t < text.size() && std::isdigit(static_cast<unsigned char>(text[t])))
                ++t;
            if (t == digits)
                return false;
            numbers.push_back(text.substr(start, t - start));
            p += 2;
        } else if (t < text.size() && text[t] == pattern[p]) {
            ++p;
            ++t;
        } else {
            return false;
        }
    }
    return t == text.size();
}

std::string filledIn(const std::string& english, const std::vector<std::string>& numbers)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < english.size(); ++i) {
        if (english.compare(i, 2, "%d") == 0 && next < numbers.size()) {
            out += numbers[next++];
            ++i;
        } else {
            out += english[i];
        }
    }
    return out;
}

}  // namespace

std::string englishMeaning(const std::string& text)
{
    std::vector<std::string> numbers;
    for (const Meaning& m : kMeanings)
        if (matches(m.text, text, numbers))
            return filledIn(m.english, numbers);
    return {};
}

}  // namespace orvex
