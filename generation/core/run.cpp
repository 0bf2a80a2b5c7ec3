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

RunResult generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                            RandomSource& random)
{
    // A range or a count with a fraction gives its whole part, so that no answer passes the limit
    // the child reads; no problem lies within a negative range, and a count below 1 gives an empty
    // sheet.
    const double range = std::floor(leadingNumber(settings.rangeText));
    const double count = std::floor(leadingNumber(settings.countText));
    if (range < 0) {
        return SettingsFault::NegativeRange;
    }
    if (!std::isfinite(range)) {
        return SettingsFault::RangeTooLarge;
    }
    if (count > maxProblemCount) {
        return SettingsFault::TooManyProblems;
    }
    random.reseed();
    const int problemCount = count < 1 ? 0 : static_cast<int>(count);
    // The whole sheet goes to the file in one append, so a failure never leaves half of it there.
    if (auto failure = appendSheet(worksheetPath(folder),
                                   composeSheet(range, problemCount, settings.mode, random))) {
        return std::move(*failure);
    }
    return SheetOnDisk{};
}

} // namespace tallymere
