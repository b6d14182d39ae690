#pragma once

#include <string>

namespace orvex {

// The items of a message, separated by commas: the first eight, then how
// many more there are, so that a message box stays readable at capacity.
class ItemList {
public:
    void add(const std::string& item)
    {
        if (mCount++ < kShown)
            mText += (mText.empty() ? "" : ", ") + item;
    }
    bool empty() const { return mCount == 0; }
    int count() const { return mCount; }
    std::string text() const
    {
        return mCount > kShown ? mText + " and " + std::to_string(mCount - kShown) + " more" : mText;
    }

private:
    static constexpr int kShown = 8;
    std::string mText;
    int mCount = 0;
};

// A road or fan as the person names it: the node numbers of its two ends.
inline std::string pairText(int first, int second)
{
    return std::to_string(first) + "-" + std::to_string(second);
}

}  // namespace orvex
