#include "app/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace orvex::gui {

namespace {

// The smallest part of a frame that must lie on an area, and the sizes a
// frame may have.
constexpr int kMinVisible = 64;
constexpr int kMinWidth = 120, kMinHeight = 80;
constexpr int kMaxSide = 32768;

}  // namespace

QRect WindowPlacement::normalRect() const
{
    // right and bottom are one past the frame, as the record keeps them
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

std::optional<WindowPlacement> readPlacement(Profile& profile, const std::string& section)
{
    WindowPlacement p;
    p.length = profile.readInt(section, "wplength", -1);
    if (p.length == -1)
        return std::nullopt;
    p.flags = profile.readInt(section, "wpflags", 6344);
    p.showCmd = profile.readInt(section, "wpshowCmd", 59052);
    p.minX = profile.readInt(section, "wpptMinPositionx", 6344);
    p.minY = profile.readInt(section, "wpptMinPositiony", -8156);
    p.maxX = profile.readInt(section, "wpptMaxPositionx", 6344);
    p.maxY = profile.readInt(section, "wpptMaxPositiony", 0);
    p.left = profile.readInt(section, "wpNormalPositionLeft", -7890);
    p.top = profile.readInt(section, "wpNormalPositionTop", 1220);
    p.right = profile.readInt(section, "wpNormalPositionRight", 0);
    p.bottom = profile.readInt(section, "wpNormalPositionBottom", -7706);
    return p;
}

void writePlacement(Profile& profile, const std::string& section, const WindowPlacement& p)
{
    profile.writeInt(section, "wplength", p.length);
    profile.writeInt(section, "wpflags", p.flags);
    profile.writeInt(section, "wpshowCmd", p.showCmd);
    profile.writeInt(section, "wpptMinPositionx", p.minX);
    profile.writeInt(section, "wpptMinPositiony", p.minY);
    profile.writeInt(section, "wpptMaxPositionx", p.maxX);
    profile.writeInt(section, "wpptMaxPositiony", p.maxY);
    profile.writeInt(section, "wpNormalPositionLeft", p.left);
    profile.writeInt(section, "wpNormalPositionTop", p.top);
    profile.writeInt(section, "wpNormalPositionRight", p.right);
    profile.writeInt(section, "wpNormalPositionBottom", p.bottom);
}

WindowPlacement placementOf(const QWidget& window, const QRect& normalGeometry)
{
    WindowPlacement p;
    if (window.isMaximized())
        p.showCmd = kShowMaximised;
    else if (window.isMinimized())
        p.showCmd = kShowMinimised;
    p.left = normalGeometry.left();
    p.top = normalGeometry.top();
    p.right = normalGeometry.right() + 1;
    p.bottom = normalGeometry.bottom() + 1;
    return p;
}

std::optional<QRect> usableFrame(const WindowPlacement& placement, const std::vector<QRect>& areas)
{
    // 64-bit sizes: garbage corners must not overflow
    const long long width = (long long)placement.right - placement.left;
    const long long height = (long long)placement.bottom - placement.top;
    if (width < kMinWidth || height < kMinHeight || width > kMaxSide || height > kMaxSide)
        return std::nullopt;
    if (std::abs((long long)placement.left) > kMaxSide || std::abs((long long)placement.top) > kMaxSide)
        return std::nullopt;
    const QRect frame = placement.normalRect();
    for (const QRect& area : areas) {
        const QRect seen = frame.intersected(area);
        // The title bar must be reachable: the top edge lies on the area.
        if (seen.width() >= kMinVisible && seen.height() >= std::min(kMinVisible, frame.height()) &&
            frame.top() >= area.top() && frame.top() < area.bottom() - kMinVisible / 2)
            return frame;
    }
    return std::nullopt;
}

std::vector<QRect> screenAreas()
{
    std::vector<QRect> areas;
    for (QScreen* screen : QGuiApplication::screens())
        areas.push_back(screen->availableGeometry());
    return areas;
}

QRect firstStartFrame(const std::vector<QRect>& areas)
{
    const QRect area = areas.empty() ? QRect(0, 0, 1280, 800) : areas.front();
    const QSize size(std::min(1280, area.width() * 9 / 10), std::min(860, area.height() * 9 / 10));
    return QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

}  // namespace orvex::gui
