#include "sheet_oracle.h"

#include "worksheet.h"

#include <algorithm>
#include <cmath>
#include <regex>
#include <vector>

namespace tallymere::testing {

namespace {

// "(n)", blanks, operands (negative ones with their "-") joined by signs, "=", blanks.
const std::regex cellPattern(R"(\((\d+)\)( *)(-?\d+)([+-])(-?\d+)(?:([+-])(-?\d+))?= *)");

bool cellHolds(const std::smatch& cell, int number, const Sheet& sheet)
{
    const bool chained = sheet.mode == DifficultyMode::ChainedSteps;
    const auto digits = static_cast<std::size_t>(cell.length(3) + cell.length(5) + cell.length(7));
    const auto width = 19 + chained + std::max<std::size_t>(digits, 12) - 12;
    if (std::stoi(cell[1]) != number || cell.length(1) + cell.length(2) != 3 ||
        cell[6].matched != chained || cell[3] == "-0" || cell[5] == "-0" || cell[7] == "-0" ||
        static_cast<std::size_t>(cell.length()) != width) {
        return false;
    }
    const double n = sheet.range;
    double result = std::stod(cell[3]);
    bool within = result >= 0 && result <= std::max(n - 1, 0.0);
    for (int sign = 4; sign <= 6 && cell[sign].matched; sign += 2) {
        const double operand = std::stod(cell[sign + 1]);
        result += cell[sign] == "+" ? operand : -operand;
        const bool chainedSum = sign == 4 && cell[4] == "+" && chained;
        within = within && operand >= 0 && result >= 0 && result <= std::max(n - chainedSum, 0.0);
    }
    return within || n < 0 || n != std::floor(n); // bounds for whole ranges of 0 or more only
}

std::string rowsFault(const std::vector<std::string>& rows, const Sheet& sheet)
{
    if (rows.size() != static_cast<std::size_t>((std::max(sheet.count, 0) + 3) / 4)) {
        return std::to_string(rows.size()) + " rows";
    }
    int number = 1;
    for (const std::string& row : rows) {
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
        if (at != row.cend()) {
            return "\"" + row + "\" goes on after its cells";
        }
    }
    return "";
}

} // namespace

std::string worksheetFault(std::string_view bytes, int sheets, const Sheet& each)
{
    std::vector<std::string> lines;
    for (std::size_t end; !bytes.empty(); bytes.remove_prefix(end + 2)) {
        end = bytes.find("\r\n");
        lines.emplace_back(bytes.substr(0, end));
        if (end == std::string_view::npos ||
            lines.back().find_first_of("\r\n") != std::string::npos) {
            return "line " + std::to_string(lines.size()) + " does not end in CR LF alone";
        }
    }
    int found = 0;
    for (std::size_t line = 0; line < lines.size(); ++found) {
        if (lines.size() - line < 3 || !lines[line].empty() || lines[line + 1] != mottoGbk ||
            !lines[line + 2].empty()) {
            return "line " + std::to_string(line + 1) + " does not open a sheet";
        }
        std::vector<std::string> rows;
        for (line += 3; line < lines.size() && !lines[line].empty(); ++line) {
            rows.push_back(lines[line]);
        }
        if (const std::string fault = rowsFault(rows, each); !fault.empty()) {
            return "sheet " + std::to_string(found + 1) + ": " + fault;
        }
    }
    return found == sheets ? "" : std::to_string(found) + " sheets, not " + std::to_string(sheets);
}

} // namespace tallymere::testing
