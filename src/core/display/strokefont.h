#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/reporter.h"

// The program's own stroke font: every label of the plan is drawn as short
// lines, so text scales with the plan and follows a road at any angle.
// Glyph points are signed 8-bit font units; a glyph is drawn at 0.0075 × the
// character size per unit, x along the text direction, y up.
namespace orvex {

constexpr int kMaxGlyphs = 291;
constexpr int kGlyphAreaBytes = 1000;

class StrokeFont {
public:
    // Reads sdt/gslgr.sdt, then sdt/gslft.sdt, from the program folder. A
    // missing file is reported and loading goes on without it; a damaged
    // one is reported and keeps the glyphs read before the damage.
    void load(const std::string& programFolder, Reporter& reporter);
    // Reads glyph records from text (the first line is skipped); messages
    // name `path`. Returns false when something was refused.
    bool parse(const std::string& text, const std::string& path, Reporter& reporter);

    struct Point {
        int x, y, pen;  // pen 0 moves, anything else draws
    };
    bool hasGlyph(unsigned char code) const { return mCharGlyph[code] != 0; }
    int glyphCount() const { return mGlyphs; }
    int bytesUsed() const { return mUsed; }
    // The points of a character's glyph (none when it has no glyph).
    int glyphPoints(unsigned char code, Point* points, int capacity) const;

private:
    std::array<int, kMaxGlyphs + 1> mGlyphStart{};  // glyph -> first byte in the areas
    std::array<int, 256> mCharGlyph{};              // character -> glyph, 0 none
    std::array<std::int8_t, kGlyphAreaBytes> mCountPen{};  // count, then pens
    std::array<std::int8_t, kGlyphAreaBytes> mX{};
    std::array<std::int8_t, kGlyphAreaBytes> mY{};
    int mGlyphs = 0;
    int mUsed = 0;
};

}  // namespace orvex
