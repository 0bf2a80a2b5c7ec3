// A whole run from any settings: either a refusal that leaves no file, or one sheet that the
// worksheet reader accepts, with the problem count the count text asks for and, for whole ranges,
// every problem within its range.
//
// Input: one byte whose lowest bit picks the mode, then the range text, a 0xFF byte (which no
// UTF-8 text holds), and the count text.
#include "generation/leading_number.h"
#include "generation/run.h"
#include "generation/worksheet_error.h"
#include "support/recording_notice.h"
#include "support/scripted_random.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tallymere {
namespace {

WorksheetSettings settingsFrom(std::string_view input)
{
    WorksheetSettings settings;
    settings.mode = !input.empty() && (input[0] & 1) != 0 ? DifficultyMode::ChainedSteps
                                                          : DifficultyMode::SingleStep;
    input.remove_prefix(input.empty() ? 0 : 1);
    const std::size_t split = input.find('\xFF');
    settings.rangeText = input.substr(0, split);
    settings.countText = split == std::string_view::npos ? "" : input.substr(split + 1);
    return settings;
}

// What the count text asks for, worked out apart from the program's own reading of it.
int expectedCount(const WorksheetSettings& settings)
{
    const double count = std::floor(leadingNumber(settings.countText));
    return count < 1 ? 0 : static_cast<int>(count);
}

void require(bool holds)
{
    if (!holds) {
        __builtin_trap();
    }
}

void checkSheet(const WorksheetSettings& settings, const std::string& bytes)
{
    // readWorksheets throws, and so ends the fuzzer, at any fault in the format.
    const auto sheets = testing::readWorksheets(bytes);
    require(sheets.size() == 1);
    require(testing::layoutFault(sheets[0], expectedCount(settings), settings.mode).empty());
    const double range = leadingNumber(settings.rangeText);
    if (range >= 1 && range == std::floor(range)) {
        require(testing::rangeFault(sheets[0], range, settings.mode).empty());
    }
}

} // namespace
} // namespace tallymere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tallymere;
    static const testing::TempFolder folder;
    const auto settings = settingsFrom({reinterpret_cast<const char*>(data), size});
    testing::RecordingNotice notice;
    testing::SeededRandom random(size);
    try {
        generateWorksheet(settings, folder.path().string(), notice, random);
    } catch (const WorksheetError&) {
        require(notice.messages.empty() && !std::filesystem::exists(folder.worksheet()));
        return 0;
    }
    require(notice.messages.size() == 1);
    const std::string bytes = testing::fileBytes(folder.worksheet());
    std::filesystem::remove(folder.worksheet());
    checkSheet(settings, bytes);
    return 0;
}
