#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenario/scenario.h"

namespace orvex::test {

// The first scenario of a scenario file's text; a text that does not read
// fails the test that gave it.
inline Scenario parsedScenario(const std::string& text)
{
    std::vector<Scenario> scenarios;
    std::vector<std::string> errors;
    EXPECT_TRUE(parseScenarios(text, "test", scenarios, errors)) << (errors.empty() ? "" : errors.front());
    return scenarios.empty() ? Scenario{} : scenarios.front();
}

}  // namespace orvex::test
