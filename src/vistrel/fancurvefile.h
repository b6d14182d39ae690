#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The fan curve file that the network window writes for this program: three
// heading lines, then per fan a comment line ("* " and a comment), the fan's
// inlet and outlet node numbers on one line, and one line per characteristic
// point with its airflow (user flow unit) and pressure (display pressure
// unit). The heading and comment texts are Shift-JIS.
//
// The reader takes the whole file at once and either returns every fan or
// says which line it could not take; it never shows anything itself.
namespace orvex::vistrel {

struct CurvePoint {
    double flow = 0;      // user flow unit; point j lies at j × the fan's airflow step
    double pressure = 0;  // display pressure unit
    friend bool operator==(CurvePoint a, CurvePoint b) { return a.flow == b.flow && a.pressure == b.pressure; }
};

struct FanCurveData {
    int inlet = 0, outlet = 0;  // node numbers; air moves from inlet to outlet
    QString comment;            // the comment line without its leading "* "
    std::vector<CurvePoint> points;
    int line = 0;               // line of the comment in the file, from 1

    // "inlet-outlet", the fan's name in the legend and the table.
    QString name() const { return QString::number(inlet) + '-' + QString::number(outlet); }
};

struct FanCurveSet {
    QString path;          // the file it was read from
    QStringList headings;  // the three heading lines, decoded
    std::vector<FanCurveData> fans;

    int pointCount() const;
};

// Why a file could not be read: the file, the line (0 when the failure is
// not on a line: missing, unreadable, too large) and the reason.
struct ReadFailure {
    QString path;
    int line = 0;
    QString reason;

    // "<path>, line 7: <reason>" or "<path>: <reason>".
    QString text() const;
};

// Limits of what a network can hand over: fans and points per fan as the
// model holds them, node numbers as the network files allow them.
constexpr int kMaxFileFans = 49;
constexpr int kMaxCurvePoints = 30;
constexpr int kMaxNodeNumber = 1499;
// A file of 49 fans with 30 points each is about 30 KB; anything far larger
// is not a fan curve file, and is refused before it is read.
constexpr qint64 kMaxFileBytes = 1 << 20;

struct ReadResult {
    std::optional<FanCurveSet> set;  // set when the file was read
    ReadFailure failure;             // otherwise why not
};

ReadResult readFanCurveFile(const QString& path);

// Parses the bytes of a fan curve file; path only names it in the set and
// in failures.
ReadResult parseFanCurveText(const QByteArray& bytes, const QString& path);

// The program's argument back to a path: the network window writes every
// blank of the path as "*". When no file of the decoded name exists but the
// argument names one as it stands, the argument is taken as it is.
QString pathFromArgument(const QString& argument);

// A text of the file in its Shift-JIS code page; bytes that are not
// Shift-JIS are taken as Latin-1.
QString decodeFileText(const QByteArray& bytes);

}  // namespace orvex::vistrel
