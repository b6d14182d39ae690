// The texts the fan curve plot shows beside its points: an operating
// point's label and a point's description for its tooltip.
#include "curveplot.h"

#include <algorithm>
#include <cmath>

namespace orvex::vistrel {

namespace {

// Four significant digits at least, never in exponent notation: 2450, 123.5,
// 0.0123.
QString shortNumber(double value)
{
    const double size = std::fabs(value);
    const int decimals = size > 0 ? std::clamp(3 - int(std::floor(std::log10(size))), 0, 4) : 0;
    return QString::number(value, 'f', decimals);
}

}  // namespace

QString operatingPointLabel(const PlotInput& input, int fan)
{
    if (!input.set || fan < 0 || fan >= int(input.set->fans.size()) || fan >= int(input.operatingPoints.size()) ||
        !input.operatingPoints[std::size_t(fan)])
        return {};
    const CurvePoint& p = *input.operatingPoints[std::size_t(fan)];
    QString text = QStringLiteral("Q=%1, P=%2")
                       .arg(AxisUnits::withUnit(shortNumber(p.flow), input.units.flow),
                            AxisUnits::withUnit(shortNumber(p.pressure), input.units.pressure));
    if (input.set->fans.size() > 1)
        text = input.set->fans[std::size_t(fan)].name() + QStringLiteral(": ") + text;
    return text;
}

QString pointDescription(const PlotInput& input, PointRef ref)
{
    if (!input.set || ref.fan < 0 || ref.fan >= int(input.set->fans.size()))
        return {};
    const FanCurveData& fan = input.set->fans[std::size_t(ref.fan)];
    if (ref.point < 0 || ref.point >= int(fan.points.size()))
        return {};
    const CurvePoint& p = fan.points[std::size_t(ref.point)];
    QString text = QStringLiteral("Fan %1, point %2 of %3\nairflow %4\npressure %5")
                       .arg(fan.name())
                       .arg(ref.point + 1)
                       .arg(fan.points.size())
                       .arg(AxisUnits::withUnit(QString::number(p.flow, 'g', 8), input.units.flow),
                            AxisUnits::withUnit(QString::number(p.pressure, 'f', 2), input.units.pressure));
    if (!fan.comment.isEmpty())
        text += QLatin1Char('\n') + fan.comment;
    return text;
}

}  // namespace orvex::vistrel
