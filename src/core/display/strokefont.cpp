#include "display/strokefont.h"

#include <sstream>
#include <vector>

#include "model/fileio.h"
#include "model/textscanner.h"

namespace orvex {

void StrokeFont::load(const std::string& programFolder, Reporter& reporter)
{
    // The description file carries nothing the drawing uses; it is only
    // looked for, as the installation has always had it.
    std::error_code error;
    if (!TextScanner::open(programFolder + "/sdt/gslgr.sdt", error))
        reporter.message(withReason("/sdt/gslgr.sdt : read ?", error), kViewCaption, MessageKind::Error);
    const std::string path = programFolder + "/sdt/gslft.sdt";
    std::optional<TextScanner> scanner = TextScanner::open(path, error);
    if (!scanner) {
        reporter.message(withReason("/sdt/gslft.sdt : read ?", error), kViewCaption, MessageKind::Error);
        return;
    }
    std::string text;
    std::string line;
    while (scanner->readRestOfLine(line))
        text += line;
    parse(text, path, reporter);
}

// Kept whole: it reads the font record by record, in the file's order, and
// every check needs the counts read before it.
bool StrokeFont::parse(const std::string& text, const std::string& path, Reporter& reporter)
{
    TextScanner scanner(text);
    RecordReader r(scanner, path);
    std::string skipped;
    scanner.readRestOfLine(skipped);
    mGlyphs = 0;
    mUsed = 0;
    mCharGlyph.fill(0);

    std::vector<Point> points;
    while (!scanner.atEnd()) {
        std::string name;
        if (!r.readWord(name, "a glyph's character"))
            break;
        int code = 0;
        if (name == "!") {
            int n = 0;
            if (!r.readInt(n, "the symbol number after \"!\""))
                break;
            if (n < 0 || n > 127) {
                r.fail("symbol number " + std::to_string(n) + " is outside 0..127");
                break;
            }
            code = 128 + n;
        } else if (name.size() == 1) {
            code = static_cast<unsigned char>(name[0]);
        } else {
            r.fail("\"" + name + "\" is neither one character nor \"!\"");
            break;
        }
        int count = 0;
        if (!r.readInt(count, "the stroke count of a glyph"))
            break;
        if (count < 0 || count > 127) {
            r.fail("a stroke count of " + std::to_string(count) + " is outside 0..127");
            break;
        }
        points.clear();
        for (int p = 0; p < count && !r.failed(); ++p) {
            Point point{};
            if (!r.readInt(point.x, "a glyph point's x") || !r.readInt(point.y, "a glyph point's y") ||
                !r.readInt(point.pen, "a glyph point's pen"))
                break;
            if (point.x < -128 || point.x > 127 || point.y < -128 || point.y > 127 ||
                point.pen < -128 || point.pen > 127)
                r.fail("a glyph point lies outside -128..127");
            points.push_back(point);
        }
        if (r.failed())
            break;
        if (mGlyphs >= kMaxGlyphs || mUsed + count + 1 >= kGlyphAreaBytes) {
            r.fail("the font holds more glyphs than fit (291 glyphs, 999 bytes); the rest is left out");
            break;
        }
        const int start = mUsed;
        mCountPen[start] = std::int8_t(count);
        for (int p = 0; p < count; ++p) {
            mCountPen[start + 1 + p] = std::int8_t(points[p].pen);
            mX[start + 1 + p] = std::int8_t(points[p].x);
            mY[start + 1 + p] = std::int8_t(points[p].y);
        }
        mUsed += count + 1;
        mGlyphStart[++mGlyphs] = start;
        mCharGlyph[code] = mGlyphs;  // a later record for a character replaces the earlier
    }
    if (r.failed()) {
        reporter.message(r.error(), kViewCaption, MessageKind::Error);
        return false;
    }
    return true;
}

int StrokeFont::glyphPoints(unsigned char code, Point* points, int capacity) const
{
    const int glyph = mCharGlyph[code];
    if (glyph == 0)
        return 0;
    const int start = mGlyphStart[glyph];
    const int count = mCountPen[start];
    int n = 0;
    for (int p = 0; p < count && n < capacity; ++p, ++n)
        points[n] = {mX[start + 1 + p], mY[start + 1 + p], mCountPen[start + 1 + p]};
    return n;
}

}  // namespace orvex
