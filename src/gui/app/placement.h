#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <vector>

#include "model/profile.h"

class QWidget;

// Window placements in the profile: the eleven entries of a placement
// record, for the main window ("WINDOWPLACEMENT") and for network windows
// ("CHILDWINDOWPLACEMENT").
//
// How a Qt window maps onto the record:
//   wplength                    44, the record's size; -1 (the default) means no placement
//   wpflags                     0
//   wpshowCmd                   1 normal, 2 minimised, 3 maximised
//   wpptMinPosition x, y        -1, -1 (where an iconic window goes: the desktop decides)
//   wpptMaxPosition x, y        -1, -1 (a maximised window fills the screen or the area)
//   wpNormalPosition left, top, right, bottom
//                               the window's geometry in its normal (not maximised)
//                               state: the main window's client area in screen pixels
//                               (the desktop adds its frame), a network window's frame
//                               in pixels of the workspace; right and bottom are one
//                               past the last pixel
// Only the show command and the normal position are used when a placement
// is applied; the other entries are kept for the record's shape.
namespace orvex::gui {

inline const std::string kWindowPlacementSection = "WINDOWPLACEMENT";
inline const std::string kChildPlacementSection = "CHILDWINDOWPLACEMENT";

constexpr int kPlacementLength = 44;
constexpr int kShowNormal = 1, kShowMinimised = 2, kShowMaximised = 3;

struct WindowPlacement {
    int length = kPlacementLength;
    int flags = 0;
    int showCmd = kShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;

    QRect normalRect() const;
};

// Nullopt when "wplength" is -1 or missing. Missing entries take the
// record's historical defaults.
std::optional<WindowPlacement> readPlacement(Profile& profile, const std::string& section);
void writePlacement(Profile& profile, const std::string& section, const WindowPlacement& placement);

// The placement of a window: its show state and the geometry it has, or
// comes back to, when it is neither maximised nor minimised.
WindowPlacement placementOf(const QWidget& window, const QRect& normalGeometry);

// Where a stored normal frame may go: the frame itself when it is a sane
// size and enough of it lies on one of the areas (the screens, or the
// workspace for a network window) to be seen and dragged; otherwise
// nullopt, and the window keeps the place the system gives it.
std::optional<QRect> usableFrame(const WindowPlacement& placement, const std::vector<QRect>& areas);

// A main window's frame where no stored one is usable: a good share of the
// first screen, in its middle.
QRect firstStartFrame(const std::vector<QRect>& areas);

// The available areas of every screen.
std::vector<QRect> screenAreas();

}  // namespace orvex::gui
