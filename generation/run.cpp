#include "run.h"

#include "leading_number.h"
#include "sheet_file.h"
#include "worksheet.h"
#include "worksheet_error.h"

#include <cmath>

namespace tallymere {

namespace {

constexpr int cellsPerRow = 4;
constexpr std::size_t widestRowBytes = 4 * 20 + 2;

double rangeOf(const WorksheetSettings& settings)
{
    const double range = leadingNumber(settings.rangeText);
    if (!std::isfinite(range)) {
        throw WorksheetError("口算范围太大，请输入一个较小的数。");
    }
    return range;
}

// A count with a fraction gives its whole part; one below 1 gives an empty sheet.
int problemCountOf(const WorksheetSettings& settings)
{
    const double count = std::floor(leadingNumber(settings.countText));
    if (count > maxProblemCount) {
        throw WorksheetError("题数太多：一次最多生成" + std::to_string(maxProblemCount) + "道题。");
    }
    return count < 1 ? 0 : static_cast<int>(count);
}

} // namespace

std::string composeSheet(double range, int problemCount, DifficultyMode mode, RandomSource& random)
{
    std::string sheet;
    sheet.reserve(32 + static_cast<std::size_t>(problemCount / cellsPerRow + 1) * widestRowBytes);
    writeLine(sheet, "");
    writeLine(sheet, motto);
    writeLine(sheet, "");
    std::string row;
    for (int number = 1; number <= problemCount; ++number) {
        appendCell(row, number, drawProblem(mode, range, random), mode);
        if (number % cellsPerRow == 0 || number == problemCount) {
            writeLine(sheet, row);
            row.clear();
        }
    }
    return sheet;
}

void generateWorksheet(const WorksheetSettings& settings, std::string_view directory,
                       CompletionNotice& notice, RandomSource& random)
{
    const double range = rangeOf(settings);
    const int problemCount = problemCountOf(settings);
    random.reseed();
    // The whole sheet goes to the file in one append, so a failure never leaves half of it there.
    appendSheet(worksheetPath(directory), composeSheet(range, problemCount, settings.mode, random));
    notice.show(completionMessage);
}

} // namespace tallymere
