// The program's arguments and the operating points they carry.
#include "operatingpoints.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace orvex::vistrel {

namespace {

const QString kForm = QStringLiteral("expected INLET-OUTLET,AIRFLOW,PRESSURE, as in 3-12,2500,1200");

// A node number without a sign, -1 when the text is none.
int nodeNumber(const QString& given)
{
    const QString text = given.trimmed();
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok && text.front().isDigit() ? number : -1;
}

// A finite number, or why the text is none.
std::optional<double> value(const QString& text, const QString& what, QString& why)
{
    bool ok = false;
    const QString trimmed = text.trimmed();
    const double number = trimmed.toDouble(&ok);
    if (ok && std::isfinite(number))
        return number;
    // toDouble() refuses what over- or underflows a double; anything else is no number at all.
    static const QRegularExpression looksNumeric(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    why = looksNumeric.match(trimmed).hasMatch()
              ? QStringLiteral("the %1 %2 is out of range").arg(what, trimmed)
              : QStringLiteral("the %1 \"%2\" is not a number").arg(what, trimmed);
    return std::nullopt;
}

// "INLET-OUTLET,AIRFLOW,PRESSURE", or why not.
std::optional<OperatingPoint> operatingPoint(const QString& text, QString& why)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 3) {
        why = kForm;
        return std::nullopt;
    }
    const QString fan = fields[0].trimmed();
    const qsizetype dash = fan.indexOf(QLatin1Char('-'));
    const int inlet = dash < 0 ? -1 : nodeNumber(fan.left(dash));
    const int outlet = dash < 0 ? -1 : nodeNumber(fan.mid(dash + 1));
    if (inlet < 0 || outlet < 0) {
        why = QStringLiteral("the fan \"%1\" is not two node numbers joined by \"-\" (inlet-outlet)").arg(fan);
        return std::nullopt;
    }
    if (std::max(inlet, outlet) > kMaxNodeNumber) {
        why = QStringLiteral("node number %1 is outside 0..%2").arg(std::max(inlet, outlet)).arg(kMaxNodeNumber);
        return std::nullopt;
    }
    const std::optional<double> flow = value(fields[1], QStringLiteral("airflow"), why);
    const std::optional<double> pressure = flow ? value(fields[2], QStringLiteral("pressure"), why) : std::nullopt;
    if (!pressure)
        return std::nullopt;
    return OperatingPoint{inlet, outlet, {*flow, *pressure}, text};
}

}  // namespace

ViewerArguments parseViewerArguments(const QStringList& arguments)
{
    ViewerArguments parsed;
    QStringList pieces;
    const QString withValue = kOperatingPointOption + QLatin1Char('=');
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            parsed.help = true;
            continue;
        }
        QString text;
        if (argument.startsWith(withValue)) {
            text = argument.mid(withValue.size());
        } else if (argument == kOperatingPointOption) {
            if (i + 1 == arguments.size()) {
                parsed.problems << QStringLiteral("%1 at the end: %2").arg(kOperatingPointOption, kForm);
                break;
            }
            text = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--"))) {
            parsed.problems << QStringLiteral("%1: no such option; it is left out").arg(argument);
            continue;
        } else {
            pieces << argument;
            continue;
        }
        QString why;
        if (const std::optional<OperatingPoint> point = operatingPoint(text, why))
            parsed.points.push_back(*point);
        else
            parsed.problems << QStringLiteral("%1 %2: %3").arg(kOperatingPointOption, text, why);
    }
    parsed.file = pieces.join(QLatin1Char(' '));
    return parsed;
}

std::vector<std::optional<CurvePoint>> pointsOfFans(const FanCurveSet& set, const std::vector<OperatingPoint>& points,
                                                    QStringList& problems)
{
    std::vector<std::optional<CurvePoint>> marked(set.fans.size());
    for (const OperatingPoint& point : points) {
        bool held = false;
        std::size_t f = 0;
        for (; f < set.fans.size(); ++f) {
            const FanCurveData& fan = set.fans[f];
            if (fan.inlet != point.inlet || fan.outlet != point.outlet)
                continue;
            held = true;
            if (!marked[f])
                break;
        }
        const QString name = QString::number(point.inlet) + QLatin1Char('-') + QString::number(point.outlet);
        if (f < set.fans.size())
            marked[f] = point.at;
        else if (held)
            problems << QStringLiteral("%1 %2: fan %3 has an operating point already")
                            .arg(kOperatingPointOption, point.argument, name);
        else
            problems << QStringLiteral("%1 %2: %3 holds no fan %4")
                            .arg(kOperatingPointOption, point.argument, QDir::toNativeSeparators(set.path), name);
    }
    return marked;
}

}  // namespace orvex::vistrel
