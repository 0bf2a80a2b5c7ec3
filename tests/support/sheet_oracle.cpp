#include "sheet_oracle.h"

#include <algorithm>
#include <cmath>
#include <regex>

namespace tallymere::testing {

namespace {

// "(n)", blanks, operands joined by signs, "=", blanks.
const std::regex cellPattern(R"(\((\d+)\)( *)(\d+)([+-])(\d+)(?:([+-])(\d+))?= *)");

bool cellHolds(const std::smatch& cell, int number, const Sheet& sheet)
{
    const bool chained = sheet.mode == DifficultyMode::ChainedSteps;
    if (std::stoi(cell[1]) != number || cell.length(1) + cell.length(2) != 3 ||
        cell[6].matched != chained || cell.length() != 19 + chained) {
        return false;
    }
    const double n = sheet.range;
    double result = std::stod(cell[3]);
    bool within = result <= n - 1;
    for (int sign = 4; sign <= 6 && cell[sign].matched; sign += 2) {
        const double operand = std::stod(cell[sign + 1]);
        result += cell[sign] == "+" ? operand : -operand;
        const bool chainedSum = sign == 4 && cell[4] == "+" && chained;
        within = within && result >= 0 && result <= n - chainedSum;
    }
    return within || std::isnan(n); // no range given: no bounds
}

} // namespace

std::string worksheetFault(std::string_view bytes, const Sheet& sheet)
{
    if (!bytes.starts_with(sheetOpening)) {
        return "no empty line, motto and empty line to open the sheet";
    }
    const std::string problems(bytes.substr(sheetOpening.size()));
    auto at = problems.cbegin();
    for (int number = 1; number <= sheet.count; ++number) {
        std::smatch cell;
        if (!std::regex_search(at, problems.cend(), cell, cellPattern,
                               std::regex_constants::match_continuous) ||
            !cellHolds(cell, number, sheet)) {
            return "problem " + std::to_string(number) + " in \"" +
                   std::string(at, std::find(at, problems.cend(), '\r')) + "\"";
        }
        at = cell[0].second;
        if (number % 4 == 0 || number == sheet.count) { // four to a row, each row ends in CR LF
            if (!std::string_view(at, problems.cend()).starts_with("\r\n")) {
                return "no CR LF after problem " + std::to_string(number);
            }
            at += 2;
        }
    }
    return sheet.count > 0 && at == problems.cend()
               ? ""
               : "not " + std::to_string(sheet.count) + " problems";
}

} // namespace tallymere::testing
