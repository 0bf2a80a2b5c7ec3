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

// What is wrong with a row of cells from `number` on, which it moves past them ("" if nothing).
std::string rowFault(const std::string& row, int& number, const Sheet& sheet)
{
    auto at = row.cbegin();
    for (int cells = std::min(4, sheet.count - number + 1); cells > 0; --cells, ++number) {
        std::smatch cell;
        if (!std::regex_search(at, row.cend(), cell, cellPattern,
                               std::regex_constants::match_continuous) ||
            !cellHolds(cell, number, sheet)) {
            return "problem " + std::to_string(number) + " in \"" + row + "\"";
        }
        at = cell[0].second;
    }
    return at == row.cend() ? "" : "\"" + row + "\" goes on after its cells";
}

} // namespace

std::string worksheetFault(std::string_view bytes, int sheets, const Sheet& each)
{
    int found = 0;
    for (; !bytes.empty(); ++found) {
        const std::string sheet = "sheet " + std::to_string(found + 1);
        if (!bytes.starts_with(sheetOpening)) {
            return sheet + " does not open with an empty line, the motto and an empty line";
        }
        bytes.remove_prefix(sheetOpening.size());
        int number = 1;
        while (!bytes.empty() && !bytes.starts_with("\r\n")) {
            const std::size_t end = bytes.find("\r\n");
            if (end == std::string_view::npos) {
                return sheet + " does not end in CR LF";
            }
            if (const std::string fault = rowFault(std::string(bytes.substr(0, end)), number, each);
                !fault.empty()) {
                return sheet + ": " + fault;
            }
            bytes.remove_prefix(end + 2);
        }
        if (number != std::max(each.count, 0) + 1) {
            return sheet + " ends after " + std::to_string(number - 1) + " problems";
        }
    }
    return found == sheets ? "" : std::to_string(found) + " sheets, not " + std::to_string(sheets);
}

} // namespace tallymere::testing
