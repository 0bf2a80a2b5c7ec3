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

inline constexpr std::string_view completionMessage = "生成成功！请打开Word打印。";

// Tells the user that the sheet is ready; the window shows a modal box and waits for it.
class CompletionNotice {
public:
    virtual ~CompletionNotice() = default;
    virtual void show(std::string_view message) = 0;
};

// The bytes of one sheet (GBK, CR LF): the header lines, then `problemCount` problems within
// `range`, four to a row.
std::string composeSheet(double range, int problemCount, DifficultyMode mode, RandomSource& random);

// Appends one sheet to the worksheet file of `directory` and then shows the completion message.
// Settings that cannot give a sheet, and a file that cannot take it whole, throw WorksheetError
// and leave the file as it was.
void generateWorksheet(const WorksheetSettings& settings, std::string_view directory,
                       CompletionNotice& notice, RandomSource& random = uniformRandom());

} // namespace tallymere
