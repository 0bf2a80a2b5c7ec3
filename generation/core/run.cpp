#include "run.h"

#include "leading_number.h"
#include "sheet_file.h"
#include "worksheet.h"

#include <cmath>

namespace tallymere {

std::string worksheetPath(std::string_view folder)
{
    return std::string(folder) + (folder.starts_with('/') ? "/" : "\\") +
           std::string(worksheetFileName);
}

std::uint64_t largestRange(DifficultyMode mode)
{
    // The operands widen as the range grows; a range of as many digits as the columns never fits.
    std::uint64_t fits = 1;
    std::uint64_t tooWide = 1;
    for (std::size_t digit = 0; digit < operandColumns; ++digit) {
        tooWide *= 10;
    }
    while (tooWide - fits > 1) {
        const std::uint64_t middle = fits + (tooWide - fits) / 2;
        (widestOperands(mode, middle) <= operandColumns ? fits : tooWide) = middle;
    }
    return fits;
}

RunResult generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                            RandomSource& random)
{
    // A range or a count with a fraction gives its whole part, so that no answer passes the limit
    // the child reads. Only a sheet of problems that keep to their columns is made, and never an
    // empty one.
    const double range = std::floor(leadingNumber(settings.rangeText));
    const double count = std::floor(leadingNumber(settings.countText));
    if (range < 1) {
        return SettingsFault::NoRange;
    }
    if (range > static_cast<double>(largestRange(settings.mode))) {
        return SettingsFault::RangeTooLarge;
    }
    if (count < 1) {
        return SettingsFault::NoCount;
    }
    if (count > maxProblemCount) {
        return SettingsFault::TooManyProblems;
    }
    random.reseed();
    const int problemCount = static_cast<int>(count);
    // The whole sheet goes to the file in one append, so a failure never leaves half of it there.
    if (auto failure = appendSheet(worksheetPath(folder),
                                   composeSheet(range, problemCount, settings.mode, random))) {
        return std::move(*failure);
    }
    return SheetOnDisk{};
}

} // namespace tallymere
