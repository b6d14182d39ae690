#include "display/displaysettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvex {

const std::array<const char*, kRoadKinds> kRoadKindNames = {
    "Nothing", "Standard flow", "Flow_IS", "Direction", "Pressure loss", "Resistance",
    "Resistance B", "Normal temperature", "Sectional area", "Length", "Thermal conductivity",
    "Gas concentration", "Road name", "Hazard", "Gas tempareture", "Gas temp*", "DBT*", "WBT*",
    "RH*", "EN*", "Velocity", "Gas arrival", "Peak gas", "Peak temperature"};
const std::array<const char*, kRoadKinds> kRoadKindNamesChinese = {
    "无", "标准风量", "实际风量", "风向", "压力损失", "风阻", "风阻B", "正常温度", "断面积", "长度",
    "热传导率", "瓦斯浓度", "巷道名称", "危险", "瓦斯温度", "瓦斯温度*", "DBT*", "WBT*", "RH*", "EN*",
    "风速", "瓦斯到达时间", "最高瓦斯浓度", "最高温度"};
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

// The colour keys, in the order the profile keeps them.
struct ScreenColourKey {
    const char* key;
    Colour ColourSlots::*slot;
};
constexpr ScreenColourKey kScreenColourKeys[] = {
    {"node", &ColourSlots::node},         {"road", &ColourSlots::road},
    {"back", &ColourSlots::back},         {"online", &ColourSlots::online},
    {"underline", &ColourSlots::underline}, {"onnode", &ColourSlots::onnode},
    {"nodedata", &ColourSlots::nodedata}, {"strong", &ColourSlots::strong}};

struct PrintColourKey {
    const char* key;
    Colour PrintColours::*slot;
};
constexpr PrintColourKey kPrintColourKeys[] = {
    {"print_node", &PrintColours::node},         {"print_road", &PrintColours::road},
    {"print_online", &PrintColours::online},     {"print_underline", &PrintColours::underline},
    {"print_onnode", &PrintColours::onnode},     {"print_nodedata", &PrintColours::nodedata}};

// The look's keys. Limits are kept as text: "auto", or two numbers.
constexpr const char* kRoadColourKey = "colour_roads_by";
constexpr const char* kNodeColourKey = "colour_nodes_by";
constexpr const char* kLimitsKey = "colour_limits";
constexpr const char* kWidthKey = "width_by_flow";
constexpr const char* kArrowsKey = "flow_arrows";
constexpr const char* kScreenLabelsKey = "screen_labels";
constexpr const char* kLabelPixelsKey = "screen_label_pixels";
constexpr const char* kTitleBlockKey = "title_block";

bool validNodeColourKind(int kind) { return kind >= 2 && kind <= 6; }

void readLook(Profile& profile, PlanLook& look)
{
    const auto flag = [&profile](const char* key, bool current) {
        return profile.readInt(kDisplaySection, key, current ? 1 : 0) != 0;
    };
    const int road = profile.readInt(kDisplaySection, kRoadColourKey, look.roadColourKind);
    look.roadColourKind = (road > 0 && road < kRoadKinds) || road == kCheckStateKind ? road : 0;
    const int node = profile.readInt(kDisplaySection, kNodeColourKey, look.nodeColourKind);
    look.nodeColourKind = validNodeColourKind(node) ? node : 0;
    look.limits = colourLimitsFromText(profile.readString(kDisplaySection, kLimitsKey, "auto"));
    look.widthByFlow = flag(kWidthKey, look.widthByFlow);
    look.arrows = flag(kArrowsKey, look.arrows);
    look.screenLabels = flag(kScreenLabelsKey, look.screenLabels);
    look.titleBlock = flag(kTitleBlockKey, look.titleBlock);
    look.labelPixels = std::clamp(profile.readInt(kDisplaySection, kLabelPixelsKey, look.labelPixels),
                                  kSmallestLabelPixels, kLargestLabelPixels);
}

void writeLook(Profile& profile, const PlanLook& look)
{
    const PlanLook plain;
    const auto write = [&profile](const char* key, const std::string& value, bool changed) {
        if (changed || profile.readString(kDisplaySection, key, "\x01") != "\x01")
            profile.writeString(kDisplaySection, key, value);
    };
    const auto flag = [&write](const char* key, bool value, bool plainValue = false) {
        write(key, value ? "1" : "0", value != plainValue);
    };
    write(kRoadColourKey, std::to_string(look.roadColourKind), look.roadColourKind != plain.roadColourKind);
    write(kNodeColourKey, std::to_string(look.nodeColourKind), look.nodeColourKind != plain.nodeColourKind);
    write(kLimitsKey, colourLimitsText(look.limits), !look.limits.automatic);
    flag(kWidthKey, look.widthByFlow);
    flag(kArrowsKey, look.arrows);
    flag(kScreenLabelsKey, look.screenLabels);
    flag(kTitleBlockKey, look.titleBlock, plain.titleBlock);
    write(kLabelPixelsKey, std::to_string(look.labelPixels), look.labelPixels != plain.labelPixels);
}

}  // namespace

std::string colourLimitsText(const ColourLimits& limits)
{
    if (limits.automatic)
        return "auto";
    char text[64];
    std::snprintf(text, sizeof text, "%g %g", limits.low, limits.high);
    return text;
}

ColourLimits colourLimitsFromText(const std::string& text)
{
    ColourLimits limits;
    char* end = nullptr;
    const double low = std::strtod(text.c_str(), &end);
    if (end == text.c_str())
        return limits;
    const char* rest = end;
    const double high = std::strtod(rest, &end);
    std::string why;
    if (end == rest || !colourLimitsUsable(low, high, why))
        return limits;
    while (*end == ' ')
        ++end;
    if (*end != '\0')
        return limits;
    limits.automatic = false;
    limits.low = low;
    limits.high = high;
    return limits;
}

void readDisplaySettings(Profile& profile, DisplaySettings& s, ViewGeometry& geometry)
{
    for (const ScreenColourKey& k : kScreenColourKeys)
        s.colours.*k.slot = readColour(profile, k.key, s.colours.*k.slot);
    long thousandths = 0;
    if (readThousandths(profile, "factor", thousandths))
        geometry.scale = float(thousandths * 0.001 * kScalePerFigureSize);
    if (readThousandths(profile, "font", thousandths))
        geometry.charSize = float(thousandths * 0.001);
    s.onlineKind = profile.readInt(kDisplaySection, "onlinevalue", s.onlineKind);
    s.underlineKind = profile.readInt(kDisplaySection, "underlinevalue", s.underlineKind);
    s.nodeKind = profile.readInt(kDisplaySection, "nodevalue", s.nodeKind);
    for (const PrintColourKey& k : kPrintColourKeys)
        s.print.*k.slot = readColour(profile, k.key, s.print.*k.slot);
    s.previewKind = profile.readInt(kDisplaySection, "print_preview_num", 1);
    readLook(profile, s.look);
}

void writeDisplaySettings(Profile& profile, const DisplaySettings& s,
                          const ViewGeometry& geometry)
{
    for (const ScreenColourKey& k : kScreenColourKeys)
        profile.writeInt(kDisplaySection, k.key, int(s.colours.*k.slot));
    profile.writeString(kDisplaySection, "factor", std::to_string(long(geometry.scale * 650.0)));
    profile.writeString(kDisplaySection, "font", std::to_string(long(geometry.charSize * 1000.0)));
    profile.writeInt(kDisplaySection, "onlinevalue", s.onlineKind);
    profile.writeInt(kDisplaySection, "underlinevalue", s.underlineKind);
    profile.writeInt(kDisplaySection, "nodevalue", s.nodeKind);
    for (const PrintColourKey& k : kPrintColourKeys)
        profile.writeInt(kDisplaySection, k.key, int(s.print.*k.slot));
    profile.writeInt(kDisplaySection, "print_preview_num", s.previewKind);
    writeLook(profile, s.look);
}

int previewKind(SharedDisplay& shared, Profile& profile)
{
    if (!shared.read)
        shared.previewKind = profile.readInt(kDisplaySection, "print_preview_num", 1);
    shared.read = true;
    return shared.previewKind;
}

void setPreviewKind(SharedDisplay& shared, Profile& profile, int kind)
{
    shared.read = true;
    shared.previewKind = kind;
    profile.writeInt(kDisplaySection, "print_preview_num", kind);
}

void usePrintColours(ColourSlots& slots, const PrintColours& print)
{
    slots.road = print.road;
    slots.online = print.online;
    slots.underline = print.underline;
    slots.node = print.node;
    slots.onnode = print.onnode;
    slots.nodedata = print.nodedata;
}

PrintColours printColoursOf(const ColourSlots& slots)
{
    PrintColours print;
    print.road = slots.road;
    print.online = slots.online;
    print.underline = slots.underline;
    print.node = slots.node;
    print.onnode = slots.onnode;
    print.nodedata = slots.nodedata;
    return print;
}

bool figureSizeAcceptable(float figureSize)
{
    return figureSize >= 0.01f && figureSize <= 10.0f;
}

}  // namespace orvex
