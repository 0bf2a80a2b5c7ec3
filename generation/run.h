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

// Problem numbers are written in three digits.
inline constexpr int maxProblemCount = 999;

// The worksheet file of a folder: the folder's text followed by "/口算题.doc", with no check for a
// separator already at its end, so that the file is always where users have found it.
std::string worksheetPath(std::string_view folder);

// Appends one sheet to the worksheet file of `folder`, drawn from `random` after reseeding it, so
// that every run gives a fresh drill. Settings that cannot give a sheet throw WorksheetError, a
// file that cannot take it whole throws FileError; either way the file stays as it was.
void generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                       RandomSource& random);

} // namespace tallymere
