#include "worksheet_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>

namespace tallymere::testing {

namespace {

// "(n)", blanks, two or three operands (negative ones with their "-") joined by signs, "=", blanks.
const std::regex cellPattern(R"(\((\d+)\)( *)(-?\d+)([+-])(-?\d+)(?:([+-])(-?\d+))?= *)");

[[noreturn]] void fail(std::size_t line, const std::string& what)
{
    throw std::runtime_error("worksheet line " + std::to_string(line + 1) + ": " + what);
}

std::vector<std::string> splitLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    for (std::size_t end; !bytes.empty(); bytes.remove_prefix(end + 2)) {
        end = bytes.find("\r\n");
        if (end == std::string_view::npos) {
            fail(lines.size(), "does not end in CR LF");
        }
        lines.emplace_back(bytes.substr(0, end));
        if (lines.back().find_first_of("\r\n") != std::string::npos) {
            fail(lines.size() - 1, "holds a lone CR or LF");
        }
    }
    return lines;
}

ReadCell readCell(const std::smatch& match)
{
    ReadCell cell;
    cell.number = std::stoi(match[1]);
    cell.width = static_cast<std::size_t>(match.length());
    cell.problemColumn = static_cast<std::size_t>(match.position(3) - match.position(0));
    for (const int group : {3, 5, 7}) {
        if (match[group].matched) {
            cell.operands.push_back(std::stod(match[group]));
            cell.operandDigits += static_cast<std::size_t>(match.length(group));
        }
    }
    cell.signs = match[4].str() + match[6].str();
    return cell;
}

std::vector<ReadCell> readRow(const std::string& row, std::size_t line)
{
    std::vector<ReadCell> cells;
    std::size_t at = 0;
    for (std::sregex_iterator it(row.begin(), row.end(), cellPattern), end; it != end; ++it) {
        if (it->position() != static_cast<std::ptrdiff_t>(at)) {
            break;
        }
        cells.push_back(readCell(*it));
        at += cells.back().width;
    }
    if (at != row.size() || cells.size() > 4) {
        fail(line, "is not a row of one to four cells: \"" + row + "\"");
    }
    return cells;
}

} // namespace

std::vector<ReadSheet> readWorksheets(std::string_view bytes)
{
    const auto lines = splitLines(bytes);
    std::vector<ReadSheet> sheets;
    for (std::size_t index = 0; index < lines.size();) {
        for (const std::string_view header : {std::string_view(), mottoGbk, std::string_view()}) {
            if (index >= lines.size() || lines[index] != header) {
                fail(index, "expected the empty line, motto, empty line that open a sheet");
            }
            ++index;
        }
        ReadSheet& sheet = sheets.emplace_back();
        for (; index < lines.size() && !lines[index].empty(); ++index) {
            sheet.rows.push_back(readRow(lines[index], index));
        }
    }
    return sheets;
}

std::string pathText(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + pathText(path));
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

namespace {

std::size_t stepsOf(DifficultyMode mode)
{
    return mode == DifficultyMode::ChainedSteps ? 2 : 1;
}

std::string cellLayoutFault(const ReadCell& cell, int number, DifficultyMode mode)
{
    const std::size_t overflow = cell.operandDigits > 12 ? cell.operandDigits - 12 : 0;
    const std::size_t width = 18 + stepsOf(mode) + overflow;
    if (cell.number != number) {
        return "numbered " + std::to_string(cell.number);
    }
    if (cell.problemColumn != 5) {
        return "starts its problem at column " + std::to_string(cell.problemColumn);
    }
    if (cell.signs.size() != stepsOf(mode)) {
        return "has " + std::to_string(cell.signs.size()) + " operations";
    }
    if (cell.width != width) {
        return "is " + std::to_string(cell.width) + " columns wide, not " + std::to_string(width);
    }
    return {};
}

// The bounds of one problem within a whole range of 1 or more.
std::string cellRangeFault(const ReadCell& cell, double range)
{
    // Only a chained sum stays below the range after its first step.
    const bool chainedSum = cell.signs.size() == 2 && cell.signs[0] == '+';
    double result = cell.operands[0];
    if (result < 0 || result > range - 1) {
        return "first operand outside 0 .. range - 1";
    }
    for (std::size_t step = 0; step < cell.signs.size(); ++step) {
        const double operand = cell.operands[step + 1];
        result += cell.signs[step] == '+' ? operand : -operand;
        const double highest = range - (step == 0 && chainedSum ? 1 : 0);
        if (operand < 0 || result < 0 || result > highest) {
            return "step " + std::to_string(step + 1) + " leaves 0 .. " + std::to_string(highest);
        }
    }
    return {};
}

std::string atProblem(const ReadCell& cell, const std::string& fault)
{
    return fault.empty() ? fault : "problem " + std::to_string(cell.number) + ": " + fault;
}

} // namespace

std::string layoutFault(const ReadSheet& sheet, int count, DifficultyMode mode)
{
    const std::size_t rows = static_cast<std::size_t>((count + 3) / 4);
    if (sheet.rows.size() != rows) {
        return std::to_string(sheet.rows.size()) + " rows, not " + std::to_string(rows);
    }
    int number = 1;
    for (const auto& row : sheet.rows) {
        const auto cells = static_cast<std::size_t>(std::min(4, count - number + 1));
        if (row.size() != cells) {
            return "the row of problem " + std::to_string(number) + " has " +
                   std::to_string(row.size()) + " cells";
        }
        for (const auto& cell : row) {
            if (auto fault = atProblem(cell, cellLayoutFault(cell, number++, mode));
                !fault.empty()) {
                return fault;
            }
        }
    }
    return {};
}

std::string rangeFault(const ReadSheet& sheet, double range, DifficultyMode mode)
{
    for (const auto& row : sheet.rows) {
        for (const auto& cell : row) {
            if (cell.signs.size() != stepsOf(mode)) {
                return atProblem(cell, "wrong number of operations");
            }
            if (auto fault = atProblem(cell, cellRangeFault(cell, range)); !fault.empty()) {
                return fault;
            }
        }
    }
    return {};
}

} // namespace tallymere::testing
