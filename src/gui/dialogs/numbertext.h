#pragma once
// How the dialogs show and read numbers: always with a decimal point, never
// a decimal comma, whatever the person's locale, and a comma is never taken
// for a thousands separator, so "1,5" is refused rather than read as 15.

#include <QLocale>
#include <QString>

#include <optional>

namespace orvex::gui {

QLocale numberLocale();

// The shortest plain decimal that reads back as the same float: 0.1, 12.5,
// 250, never an exponent.
QString numberText(float value);

// A finite number a float can hold, or nothing.
std::optional<float> floatOf(const QString& text);

// A finite number, or nothing.
std::optional<double> numberOf(const QString& text);

// A whole number, or nothing.
std::optional<int> wholeNumberOf(const QString& text);

}  // namespace orvex::gui
