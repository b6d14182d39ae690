#pragma once

#include <string>
#include <vector>

#include "model/units.h"

// The columns of the network tables, shared by their writer and reader.
namespace orvex::exchange {

struct TableColumn {
    std::string name;
    std::string unit;  // empty: a column without unit
};

enum class Table { Network, Nodes, Roads, Fans, Bends };

inline const std::string kTemperatureUnit = "degC";
inline const std::string kConductivityUnit = "kcal/(m h degC)";

// Water networks hold a pipe's diameter and Hazen-Williams (or local-loss)
// coefficient where air networks hold a road's area and rock conductivity.
inline std::vector<TableColumn> tableColumns(Table table, const UnitsSettings& units, bool water)
{
    const std::string flow(units.flowUnitName.view());
    const std::string resistance(units.resistanceUnitName.view());
    switch (table) {
    case Table::Network:
        return {{"item", ""}, {"value", ""}, {"line end", ""}};
    case Table::Nodes:
        return {{"number", ""}, {"place", ""}, {"elevation", "m"}, {"x", "m"}, {"y", "m"}};
    case Table::Roads:
        return {{"from", ""},
                {"to", ""},
                {"kind", ""},
                {"resistance", resistance},
                {"alternative resistance", resistance},
                {"temperature", kTemperatureUnit},
                water ? TableColumn{"diameter", "m"} : TableColumn{"area", "m2"},
                {"length", "m"},
                water ? TableColumn{"coefficient", ""} : TableColumn{"conductivity", kConductivityUnit},
                {"name", ""},
                {"fixed airflow", flow}};
    case Table::Fans:
        return {{"inlet", ""}, {"outlet", ""}, {"heading", ""}, {"line end", ""}, {"airflow step", flow}};
    case Table::Bends:
        return {{"from", ""}, {"to", ""}, {"point", ""}, {"x", "m"}, {"y", "m"}, {"mark", ""}};
    }
    return {};
}

// A fan's pressure columns follow its fixed ones: "pressure 1" to "pressure N".
inline TableColumn pressureColumn(int point, const UnitsSettings& units)
{
    return {"pressure " + std::to_string(point), std::string(units.pressureUnitName.view())};
}

inline const char* const kSurface = "surface";
inline const char* const kUnderground = "underground";
inline const char* const kNormalRoad = "normal";
inline const char* const kFixedFlowRoad = "fixed-flow";

}  // namespace orvex::exchange
