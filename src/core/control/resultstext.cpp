#include "control/resultstext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

namespace orvex {

namespace {

// Digits printed beyond those kept: a double that is not exactly half way
// between two kept values lies further than this from it, so the first of
// them decides the rounding exactly.
constexpr int kGuardDigits = 40;

std::string printed(const char* format, int precision, double value)
{
    const int length = std::snprintf(nullptr, 0, format, precision, value);
    std::string text(std::size_t(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, precision, value);
    text.resize(std::size_t(length));
    return text;
}

// Adds one to the last digit of digits (a point may be among them); true
// when the carry runs out of the front.
bool roundUp(std::string& digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.')
            continue;
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    return true;
}

std::string withoutTrailingZeros(std::string text)
{
    if (text.find('.') == std::string::npos)
        return text;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

std::string fixedText(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    if (value == 0)
        value = 0;  // no sign on a negative zero
    std::string text = printed("%.*f", decimals + kGuardDigits, value);
    const std::size_t start = text[0] == '-' ? 1 : 0;
    const std::size_t point = text.find('.');
    const bool up = text[point + 1 + std::size_t(decimals)] >= '5';
    std::string digits = text.substr(start, decimals > 0 ? point + 1 + std::size_t(decimals) - start : point - start);
    if (up && roundUp(digits))
        digits.insert(digits.begin(), '1');
    return text.substr(0, start) + digits;
}

std::string significantText(double value, int significant)
{
    if (!std::isfinite(value) || value == 0)
        return fixedText(value, 0);
    // The exponent the number has once rounded to its digits.
    const std::string e = printed("%.*e", significant - 1 + kGuardDigits, value);
    const std::size_t start = e[0] == '-' ? 1 : 0;
    std::string mantissa = e.substr(start, std::size_t(significant) + 1);  // "d.ddd"
    int exponent = std::stoi(e.substr(e.find('e') + 1));
    if (e[start + std::size_t(significant) + 1] >= '5' && roundUp(mantissa)) {
        mantissa[0] = '1';  // 9.99..: the carry leaves 0.00.., so 1.00.. one power up
        ++exponent;
    }
    if (exponent < -4 || exponent >= significant) {
        char tail[16];
        std::snprintf(tail, sizeof tail, "e%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        return e.substr(0, start) + withoutTrailingZeros(mantissa) + tail;
    }
    return withoutTrailingZeros(fixedText(value, significant - 1 - exponent));
}

std::string tabField(const std::string& text)
{
    std::string field = text;
    std::replace_if(field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return field;
}


std::string tableText(const TextRow& header, const std::vector<TextRow>& rows, char separator,
                      std::string (*escape)(const std::string&))
{
    std::string text;
    const auto line = [&](const TextRow& fields) {
        for (std::size_t c = 0; c < fields.size(); ++c) {
            if (c > 0)
                text += separator;
            text += escape(fields[c]);
        }
        text += '\n';
    };
    line(header);
    for (const TextRow& row : rows)
        line(row);
    return text;
}

std::vector<int> copiedRows(std::vector<int> selected, int count)
{
    std::sort(selected.begin(), selected.end());
    if (selected.empty()) {
        selected.resize(std::size_t(std::max(count, 0)));
        std::iota(selected.begin(), selected.end(), 0);
    }
    return selected;
}

std::string csvFileName(const std::string& baseName, const std::string& table)
{
    if (baseName.empty())
        return table + ".csv";
    std::string base = baseName;
    if (base.back() == '.')
        base.pop_back();
    return base + "-" + table + ".csv";
}

}  // namespace orvex
