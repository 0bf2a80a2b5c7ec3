#pragma once

#include "file_failure.h"
#include "problem.h"
#include "random_source.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace tallymere {

// What one run is given: the texts of the two combo boxes, as typed, and the difficulty.
struct WorksheetSettings {
    std::string rangeText;
    std::string countText;
    DifficultyMode mode = DifficultyMode::SingleStep;
};

// Settings that give no sheet a child can use.
enum class SettingsFault {
    NoRange,         // no number, or a whole part below 1
    RangeTooLarge,   // a problem within it might not fit its cell
    NoCount,         // no number, or a whole part below 1
    TooManyProblems, // more than maxProblemCount
};

// What a run did: put its sheet on the disk, refused the settings and left the file alone, or met
// a file that could not take the sheet.
struct SheetOnDisk {};
using RunResult = std::variant<SheetOnDisk, SettingsFault, FileFailure>;

inline constexpr std::string_view worksheetFileName = "口算题.doc";

// The folder's text, a separator and the file's name, with no check for a separator at its end, so
// that the file is where users have found it; "\" in a Windows path, the only kind not starting
// with "/". Messages show the path as it is made here.
std::string worksheetPath(std::string_view folder);

// Problem numbers are written in three digits.
inline constexpr int maxProblemCount = 999;

// The largest range whose every problem fits its cell with `mode`.
std::uint64_t largestRange(DifficultyMode mode);

// Appends one sheet to the worksheet file of `folder`, drawn from `random` after reseeding it, so
// that every run gives a fresh drill.
RunResult generateWorksheet(const WorksheetSettings& settings, std::string_view folder,
                            RandomSource& random);

} // namespace tallymere
