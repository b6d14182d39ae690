// Reading the fan curve file, line by line, with the line that stops it.
#include "fancurvefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>

namespace orvex::vistrel {

int FanCurveSet::pointCount() const
{
    int count = 0;
    for (const FanCurveData& fan : fans)
        count += int(fan.points.size());
    return count;
}

QString ReadFailure::text() const
{
    if (line > 0)
        return QStringLiteral("%1, line %2: %3").arg(path).arg(line).arg(reason);
    return QStringLiteral("%1: %2").arg(path, reason);
}

QString decodeFileText(const QByteArray& bytes)
{
    QStringDecoder shiftJis("Shift_JIS");
    if (shiftJis.isValid()) {
        const QString text = shiftJis.decode(bytes);
        if (!shiftJis.hasError())
            return text;
    }
    return QString::fromLatin1(bytes);
}

QString pathFromArgument(const QString& argument)
{
    QString decoded = argument;
    decoded.replace(QLatin1Char('*'), QLatin1Char(' '));
    if (decoded != argument && !QFileInfo::exists(decoded) && QFileInfo::exists(argument))
        return argument;
    return decoded;
}

namespace {

// A line as the person would see it in a message: decoded, and cut short
// when it is long.
QString quoted(const QByteArray& line)
{
    constexpr int kShown = 40;
    QString text = decodeFileText(line.trimmed());
    if (text.size() > kShown)
        text = text.left(kShown) + QStringLiteral("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QList<QByteArray> fields(const QByteArray& line)
{
    const QByteArray simple = line.simplified();
    return simple.isEmpty() ? QList<QByteArray>() : simple.split(' ');
}

// The two node numbers of a fan's second line; false unless the line holds
// exactly two whole numbers.
bool readNodePair(const QByteArray& line, int& inlet, int& outlet)
{
    const QList<QByteArray> f = fields(line);
    if (f.size() != 2)
        return false;
    bool inletOk = false, outletOk = false;
    inlet = f[0].toInt(&inletOk);
    outlet = f[1].toInt(&outletOk);
    return inletOk && outletOk;
}

// An airflow and a pressure; false unless the line holds exactly two finite
// numbers. QByteArray reads numbers in the C locale, as they are written.
bool readPoint(const QByteArray& line, CurvePoint& point)
{
    const QList<QByteArray> f = fields(line);
    if (f.size() != 2)
        return false;
    bool flowOk = false, pressureOk = false;
    point.flow = f[0].toDouble(&flowOk);
    point.pressure = f[1].toDouble(&pressureOk);
    return flowOk && pressureOk && std::isfinite(point.flow) && std::isfinite(point.pressure);
}

// Takes the lines after the headings one at a time: a fan's comment line,
// its node numbers, its points, the next fan's comment line.
class FanLineReader {
public:
    explicit FanLineReader(FanCurveSet& set) : mSet(set) {}

    // Empty when the line is taken, otherwise what is wrong with it.
    QString take(const QByteArray& line, int number)
    {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            return {};
        if (trimmed.startsWith('*'))
            return comment(trimmed, number);
        switch (mExpect) {
        case Expect::FirstComment:
            return QStringLiteral("expected the first fan's comment line, beginning with "
                                  "\"*\", but found %1")
                .arg(quoted(line));
        case Expect::Nodes: return nodes(line);
        case Expect::PointOrComment: return point(line);
        }
        return {};
    }
    bool waitingForNodes() const { return mExpect == Expect::Nodes; }

private:
    QString comment(const QByteArray& trimmed, int number)
    {
        if (mExpect == Expect::Nodes)
            return QStringLiteral("a comment line where the node numbers of the fan "
                                  "begun on line %1 should be")
                .arg(mSet.fans.back().line);
        if (int(mSet.fans.size()) == kMaxFileFans)
            return QStringLiteral("more than %1 fans; a network holds at most %1").arg(kMaxFileFans);
        FanCurveData fan;
        QByteArray comment = trimmed.mid(1);
        if (comment.startsWith(' '))
            comment.remove(0, 1);
        fan.comment = decodeFileText(comment);
        fan.line = number;
        mSet.fans.push_back(fan);
        mExpect = Expect::Nodes;
        return {};
    }

    QString nodes(const QByteArray& line)
    {
        FanCurveData& fan = mSet.fans.back();
        if (!readNodePair(line, fan.inlet, fan.outlet))
            return QStringLiteral("expected the fan's inlet and outlet node numbers, but found %1").arg(quoted(line));
        for (int node : {fan.inlet, fan.outlet})
            if (node < 0 || node > kMaxNodeNumber)
                return QStringLiteral("node number %1 is outside 0..%2").arg(node).arg(kMaxNodeNumber);
        mExpect = Expect::PointOrComment;
        return {};
    }

    QString point(const QByteArray& line)
    {
        FanCurveData& fan = mSet.fans.back();
        CurvePoint point;
        if (!readPoint(line, point))
            return QStringLiteral("expected an airflow and a pressure of fan %1, but found %2")
                .arg(fan.name(), quoted(line));
        if (int(fan.points.size()) == kMaxCurvePoints)
            return QStringLiteral("fan %1 has more than %2 points; a fan curve holds at most %2")
                .arg(fan.name())
                .arg(kMaxCurvePoints);
        fan.points.push_back(point);
        return {};
    }

    enum class Expect { FirstComment, Nodes, PointOrComment };
    FanCurveSet& mSet;
    Expect mExpect = Expect::FirstComment;
};

}  // namespace

ReadResult parseFanCurveText(const QByteArray& bytes, const QString& path)
{
    ReadResult result;
    const auto fail = [&](int line, const QString& reason) {
        result.set.reset();
        result.failure = {path, line, reason};
        return result;
    };
    if (bytes.isEmpty())
        return fail(0, QStringLiteral("the file is empty; a fan curve file begins with three heading lines"));

    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n'))
        lines.removeLast();  // the line end of the last line, not a line of its own
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);

    constexpr int kHeadings = 3;
    if (lines.size() < kHeadings)
        return fail(int(lines.size()),
                    QStringLiteral("the file ends inside its three heading lines; it holds no fans"));

    FanCurveSet set;
    set.path = path;
    for (int h = 0; h < kHeadings; ++h)
        set.headings << decodeFileText(lines[h]);

    FanLineReader reader(set);
    for (int i = kHeadings; i < lines.size(); ++i) {
        const QString reason = reader.take(lines[i], i + 1);
        if (!reason.isEmpty())
            return fail(i + 1, reason);
    }
    if (reader.waitingForNodes())
        return fail(int(lines.size()), QStringLiteral("the file ends after the comment line of its last "
                                                      "fan; the fan's node numbers are missing"));
    result.set = std::move(set);
    return result;
}

ReadResult readFanCurveFile(const QString& path)
{
    ReadResult result;
    const auto fail = [&](const QString& reason) {
        result.failure = {path, 0, reason};
        return result;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("not found"));
    if (info.isDir())
        return fail(QStringLiteral("is a folder, not a fan curve file"));
    // A pipe or a device could keep the reader waiting for ever.
    if (!info.isFile())
        return fail(QStringLiteral("is not an ordinary file"));
    if (info.size() > kMaxFileBytes)
        return fail(QStringLiteral("is %1 bytes long, far more than a fan curve file holds").arg(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot be opened (%1)").arg(file.errorString()));
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    return parseFanCurveText(bytes, path);
}

}  // namespace orvex::vistrel
