#pragma once

#include <map>
#include <string>
#include <vector>

// What the DXF importer reads of a drawing: the lines and polylines of model
// space with their layers, and a count of everything else. The file is
// checked whole before the DXF library reads it, so that a damaged file is
// refused with its line instead of being half read.
namespace orvex::exchange::dxf {

struct Point3 {
    double x = 0, y = 0, z = 0;
};

// A LINE, LWPOLYLINE or POLYLINE (2D or 3D) of model space.
struct DrawnLine {
    std::string type;    // "LINE", "LWPOLYLINE" or "POLYLINE"
    std::string layer;
    int line = 0;        // the line of the file where the entity starts
    std::vector<Point3> points;  // a closed polyline repeats its first point at the end
};

struct Drawing {
    std::vector<DrawnLine> lines;
    std::map<std::string, int> unused;  // entity type -> count: model-space entities that are no lines
    std::vector<std::string> layers;    // the layer table's names
    int paperSpace = 0;                 // lines and polylines in paper space, not read
    int meshes = 0;                     // polygon and polyface meshes, not read
};

// Reads the drawing; false with the file, the line and what is wrong in
// error when the file is not a readable text DXF.
bool readDrawing(const std::string& path, Drawing& drawing, std::string& error);

// Layer names are compared as the DXF compares them, ignoring case.
bool sameLayer(const std::string& a, const std::string& b);

}  // namespace orvex::exchange::dxf
