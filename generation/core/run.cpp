#include "run.h"

#include "leading_number.h"
#include "sheet_file.h"
#include "worksheet.h"
#include "worksheet_error.h"

#include <cmath>

namespace tallymere {

namespace {

// A range with a fraction gives its whole part, so that no answer passes the limit the child
// reads; no problem lies within a negative one.
double rangeOf(const WorksheetSettings& settings)
{
    const double range = leadingNumber(settings.rangeText);
    if (range < 0) {
        throw SettingsError(SettingsFault::NegativeRange);
    }
    if (!std::isfinite(range)) {
        throw SettingsError(SettingsFault::RangeTooLarge);
    }
    return std::floor(range);
}

// A count with a fraction gives its whole part; one below 1 gives an empty sheet.
int problemCountOf(const WorksheetSettings& settings)
{
    const double count = std::floor(leadingNumber(settings.countText));
    if (count > maxProblemCount) {
        throw SettingsError(SettingsFault::TooManyProblems);
    }
    return count < 1 ? 0 : static_cast<int>(count);
}

} // namespace

std::string worksheetPath(std::string_view folder)
{
    return std::string(folder) + (folder.starts_with('/') ? "/" : "\\") +
           std::string(worksheetFileName);
}

void generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                       RandomSource& random)
{
    const double range = rangeOf(settings);
    const int problemCount = problemCountOf(settings);
    random.reseed();
    // The whole sheet goes to the file in one append, so a failure never leaves half of it there.
    if (auto failure = appendSheet(worksheetPath(folder),
                                   composeSheet(range, problemCount, settings.mode, random))) {
        throw FileError(std::move(*failure));
    }
}

} // namespace tallymere
