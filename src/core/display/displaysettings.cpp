#include "display/displaysettings.h"

#include <cmath>
#include <cstdlib>

namespace orvex {

const std::array<const char*, kRoadKinds> kRoadKindNames = {
    "Nothing", "Standard flow", "Flow_IS", "Direction", "Pressure loss", "Resistance",
    "Resistance B", "Normal temperature", "Sectional area", "Length", "Thermal conductivity",
    "Gas concentration", "Road name", "Hazard", "Gas tempareture", "Gas temp*", "DBT*", "WBT*",
    "RH*", "EN*"};
const std::array<const char*, kRoadKinds> kRoadKindNamesChinese = {
    "无", "标准风量", "实际风量", "风向", "压力损失", "风阻", "风阻B", "正常温度", "断面积", "长度",
    "热传导率", "瓦斯浓度", "巷道名称", "危险", "瓦斯温度", "瓦斯温度*", "DBT*", "WBT*", "RH*", "EN*"};
const std::array<const char*, kNodeKinds> kNodeKindNames = {
    "Nothing", "Number", "Elevation", "Pressure*", "Pressure loss", "Gas temperature", "Hazard",
    "DBT*", "WBT*", "RH*", "EN*"};
const std::array<const char*, kNodeKinds> kNodeKindNamesChinese = {
    "无", "编号", "标高", "全压*", "压力损失", "瓦斯温度", "危险", "DBT*", "WBT*", "RH*", "EN*"};

namespace {

// "factor" and "font" are whole numbers kept as text; text that is not a
// number reads as 0, as it always has.
bool readThousandths(Profile& profile, const char* key, long& value)
{
    const std::string text = profile.readString(kDisplaySection, key, "");
    if (text.empty())
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

Colour readColour(Profile& profile, const char* key, Colour current)
{
    return Colour(profile.readInt(kDisplaySection, key, int(current))) & 0x00FFFFFFu;
}

}  // namespace

void readDisplaySettings(Profile& profile, DisplaySettings& s, ViewGeometry& geometry)
{
    ColourSlots& c = s.colours;
    c.node = readColour(profile, "node", c.node);
    c.road = readColour(profile, "road", c.road);
    c.back = readColour(profile, "back", c.back);
    c.online = readColour(profile, "online", c.online);
    c.underline = readColour(profile, "underline", c.underline);
    c.onnode = readColour(profile, "onnode", c.onnode);
    c.nodedata = readColour(profile, "nodedata", c.nodedata);
    c.strong = readColour(profile, "strong", c.strong);
    long thousandths = 0;
    if (readThousandths(profile, "factor", thousandths))
        geometry.scale = float(thousandths * 0.001 * kScalePerFigureSize);
    if (readThousandths(profile, "font", thousandths))
        geometry.charSize = float(thousandths * 0.001);
    s.onlineKind = profile.readInt(kDisplaySection, "onlinevalue", s.onlineKind);
    s.underlineKind = profile.readInt(kDisplaySection, "underlinevalue", s.underlineKind);
    s.nodeKind = profile.readInt(kDisplaySection, "nodevalue", s.nodeKind);
    PrintColours& p = s.print;
    p.node = readColour(profile, "print_node", p.node);
    p.road = readColour(profile, "print_road", p.road);
    p.online = readColour(profile, "print_online", p.online);
    p.underline = readColour(profile, "print_underline", p.underline);
    p.onnode = readColour(profile, "print_onnode", p.onnode);
    p.nodedata = readColour(profile, "print_nodedata", p.nodedata);
    s.previewKind = profile.readInt(kDisplaySection, "print_preview_num", 1);
}

void writeDisplaySettings(Profile& profile, const DisplaySettings& s,
                          const ViewGeometry& geometry)
{
    const ColourSlots& c = s.colours;
    profile.writeInt(kDisplaySection, "node", int(c.node));
    profile.writeInt(kDisplaySection, "road", int(c.road));
    profile.writeInt(kDisplaySection, "back", int(c.back));
    profile.writeInt(kDisplaySection, "online", int(c.online));
    profile.writeInt(kDisplaySection, "underline", int(c.underline));
    profile.writeInt(kDisplaySection, "onnode", int(c.onnode));
    profile.writeInt(kDisplaySection, "nodedata", int(c.nodedata));
    profile.writeInt(kDisplaySection, "strong", int(c.strong));
    profile.writeString(kDisplaySection, "factor", std::to_string(long(geometry.scale * 650.0)));
    profile.writeString(kDisplaySection, "font", std::to_string(long(geometry.charSize * 1000.0)));
    profile.writeInt(kDisplaySection, "onlinevalue", s.onlineKind);
    profile.writeInt(kDisplaySection, "underlinevalue", s.underlineKind);
    profile.writeInt(kDisplaySection, "nodevalue", s.nodeKind);
    const PrintColours& p = s.print;
    profile.writeInt(kDisplaySection, "print_node", int(p.node));
    profile.writeInt(kDisplaySection, "print_road", int(p.road));
    profile.writeInt(kDisplaySection, "print_online", int(p.online));
    profile.writeInt(kDisplaySection, "print_underline", int(p.underline));
    profile.writeInt(kDisplaySection, "print_onnode", int(p.onnode));
    profile.writeInt(kDisplaySection, "print_nodedata", int(p.nodedata));
    profile.writeInt(kDisplaySection, "print_preview_num", s.previewKind);
}

bool figureSizeAcceptable(float figureSize)
{
    return figureSize >= 0.01f && figureSize <= 10.0f;
}

}  // namespace orvex
