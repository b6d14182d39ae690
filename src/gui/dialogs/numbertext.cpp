#include "dialogs/numbertext.h"

#include <cfloat>
#include <charconv>
#include <cmath>

namespace orvex::gui {

QLocale numberLocale()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return c;
}

QString numberText(float value)
{
    char text[64];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    QString shown = QString::fromLatin1(text, int(end.ptr - text));
    if (shown == "-0")
        shown = "0";
    return shown;
}

std::optional<double> numberOf(const QString& text)
{
    bool ok = false;
    const double value = numberLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<float> floatOf(const QString& text)
{
    const std::optional<double> value = numberOf(text);
    if (!value || std::fabs(*value) > double(FLT_MAX))
        return std::nullopt;
    return float(*value);
}

std::optional<int> wholeNumberOf(const QString& text)
{
    bool ok = false;
    const int value = numberLocale().toInt(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

}  // namespace orvex::gui
