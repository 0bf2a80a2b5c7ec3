#pragma once

#include "problem.h"
#include "random_source.h"

#include <string>
#include <string_view>

namespace tallymere {

// What one run is given: the texts of the two combo boxes, as typed, and the difficulty.
struct WorksheetSettings {
    std::string rangeText;
    std::string countText;
    DifficultyMode mode = DifficultyMode::SingleStep;
};

inline constexpr std::string_view worksheetFileName = "口算题.doc";

// The worksheet file of a folder: the folder's text, a separator and the name, with no check for a
// separator already at its end, so that the file is always where users have found it. The
// separator of a Windows path (the only kind that does not start with "/") is "\\", which
// Windows' long-path prefix "\\?\" needs too; a message shows the path as it is made here.
std::string worksheetPath(std::string_view folder);

// Problem numbers are written in three digits.
inline constexpr int maxProblemCount = 999;

// Appends one sheet to the worksheet file ("口算题.doc") of `folder`, drawn from `random` after
// reseeding it, so that every run gives a fresh drill. Settings that cannot give a sheet throw
// SettingsError and leave the file alone; a file that cannot take the sheet throws FileError,
// which says what went wrong and what the file holds.
void generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                       RandomSource& random);

} // namespace tallymere
