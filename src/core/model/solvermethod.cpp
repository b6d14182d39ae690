#include "solvermethod.h"

#include <cctype>

namespace orvex {

std::string solverMethodName(SolverMethod method)
{
    return method == SolverMethod::Newton ? "newton" : "relaxation";
}

std::string solverMethodWords(SolverMethod method)
{
    return method == SolverMethod::Newton ? "the Newton method" : "the relaxation";
}

std::optional<SolverMethod> parseSolverMethod(const std::string& name)
{
    std::string lower;
    for (const char c : name)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "newton")
        return SolverMethod::Newton;
    if (lower == "relaxation")
        return SolverMethod::Relaxation;
    return std::nullopt;
}

SolverMethod readSolverMethod(Profile& profile)
{
    return parseSolverMethod(profile.readString(kAnalysisSection, kSolverMethodEntry, ""))
        .value_or(kDefaultSolverMethod);
}

void writeSolverMethod(Profile& profile, SolverMethod method)
{
    profile.writeString(kAnalysisSection, kSolverMethodEntry, solverMethodName(method));
}

}  // namespace orvex
