#include "worksheet_reader.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>

namespace tallymere::testing {

namespace {

[[noreturn]] void fail(std::size_t line, const std::string& what)
{
    throw std::runtime_error("worksheet line " + std::to_string(line + 1) + ": " + what);
}

std::vector<std::string_view> splitLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const auto end = bytes.find("\r\n");
        if (end == std::string_view::npos) {
            fail(lines.size(), "does not end in CR LF");
        }
        const auto line = bytes.substr(0, end);
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            fail(lines.size(), "holds a lone CR or LF");
        }
        lines.push_back(line);
        bytes.remove_prefix(end + 2);
    }
    return lines;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads one cell of a row from `at`; `lineIndex` only names the place in errors.
class CellParser {
public:
    CellParser(std::string_view row, std::size_t lineIndex) : row_(row), line_(lineIndex) {}

    bool done() const { return at_ == row_.size(); }

    ReadCell next()
    {
        ReadCell cell;
        const std::size_t start = at_;
        expect('(');
        cell.number = static_cast<int>(digits());
        expect(')');
        skipBlanks();
        cell.problemColumn = at_ - start;
        operand(cell);
        while (peek() == '+' || peek() == '-') {
            cell.signs += row_[at_++];
            operand(cell);
        }
        expect('=');
        skipBlanks();
        cell.width = at_ - start;
        return cell;
    }

private:
    char peek() const { return at_ < row_.size() ? row_[at_] : '\0'; }
    void expect(char c)
    {
        if (peek() != c) {
            fail(line_, "expected '" + std::string(1, c) + "' at column " + std::to_string(at_) +
                            " of \"" + std::string(row_) + "\"");
        }
        ++at_;
    }
    void skipBlanks()
    {
        while (peek() == ' ') {
            ++at_;
        }
    }
    double digits()
    {
        const std::size_t start = at_;
        while (isDigit(peek())) {
            ++at_;
        }
        if (at_ == start) {
            fail(line_, "expected a digit at column " + std::to_string(at_));
        }
        return std::stod(std::string(row_.substr(start, at_ - start)));
    }
    void operand(ReadCell& cell)
    {
        const std::size_t start = at_;
        const bool negative = peek() == '-';
        at_ += negative ? 1 : 0;
        const double magnitude = digits();
        cell.operands.push_back(negative ? -magnitude : magnitude);
        cell.operandDigits += at_ - start;
    }

    std::string_view row_;
    std::size_t line_;
    std::size_t at_ = 0;
};

std::vector<ReadCell> readRow(std::string_view row, std::size_t lineIndex)
{
    CellParser parser(row, lineIndex);
    std::vector<ReadCell> cells;
    while (!parser.done()) {
        cells.push_back(parser.next());
    }
    if (cells.size() > 4) {
        fail(lineIndex, "holds " + std::to_string(cells.size()) + " cells");
    }
    return cells;
}

void expectHeaderLine(const std::vector<std::string_view>& lines, std::size_t index,
                      std::string_view text)
{
    if (index >= lines.size() || lines[index] != text) {
        fail(index, text.empty() ? "expected an empty line" : "expected the motto");
    }
}

} // namespace

std::vector<ReadSheet> readWorksheets(std::string_view bytes)
{
    const auto lines = splitLines(bytes);
    std::vector<ReadSheet> sheets;
    std::size_t index = 0;
    while (index < lines.size()) {
        expectHeaderLine(lines, index++, "");
        expectHeaderLine(lines, index++, mottoGbk);
        expectHeaderLine(lines, index++, "");
        ReadSheet sheet;
        for (; index < lines.size() && !lines[index].empty(); ++index) {
            sheet.rows.push_back(readRow(lines[index], index));
        }
        sheets.push_back(std::move(sheet));
    }
    return sheets;
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void expectLayout(const ReadSheet& sheet, int count, DifficultyMode mode)
{
    const bool chained = mode == DifficultyMode::ChainedSteps;
    ASSERT_EQ(sheet.rows.size(), static_cast<std::size_t>((count + 3) / 4));
    int expectedNumber = 1;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const auto& row = sheet.rows[r];
        const bool last = r + 1 == sheet.rows.size();
        EXPECT_EQ(row.size(), last ? static_cast<std::size_t>(count - 4 * r) : 4u) << "row " << r;
        for (const auto& cell : row) {
            SCOPED_TRACE("problem " + std::to_string(cell.number));
            EXPECT_EQ(cell.number, expectedNumber++);
            EXPECT_EQ(cell.problemColumn, 5u);
            EXPECT_EQ(cell.signs.size(), chained ? 2u : 1u);
            const std::size_t usual = chained ? 20 : 19;
            EXPECT_EQ(cell.width, usual + (cell.operandDigits > 12 ? cell.operandDigits - 12 : 0));
        }
    }
}

void expectWithinRange(const ReadSheet& sheet, double range, DifficultyMode mode)
{
    const std::size_t steps = mode == DifficultyMode::ChainedSteps ? 2 : 1;
    for (const auto& row : sheet.rows) {
        for (const auto& cell : row) {
            SCOPED_TRACE("problem " + std::to_string(cell.number));
            ASSERT_EQ(cell.signs.size(), steps);
            double result = cell.operands[0];
            EXPECT_GE(result, 0);
            EXPECT_LE(result, range - 1) << "the first operand never reaches the range";
            for (std::size_t step = 0; step < steps; ++step) {
                const double operand = cell.operands[step + 1];
                EXPECT_GE(operand, 0);
                result += cell.signs[step] == '+' ? operand : -operand;
                EXPECT_GE(result, 0);
                EXPECT_LE(result, range);
            }
            if (steps == 2 && cell.signs[0] == '+') {
                EXPECT_LE(cell.operands[0] + cell.operands[1], range - 1)
                    << "a chained sum stays below the range";
            }
        }
    }
}

} // namespace tallymere::testing
