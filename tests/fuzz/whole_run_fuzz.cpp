// Any settings (mode bit, range text, 0xFF, count text): the run refuses them and writes nothing,
// or appends one whole sheet, numbered from 1 to at most 999.
#include "fixtures.h"
#include "run.h"
#include "sheet_oracle.h"

#include <cmath>
#include <cstdlib>

using namespace tallymere;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const testing::TempFolder folder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\xFF', 1), size);
    const auto mode =
        size > 0 && (data[0] & 1) ? DifficultyMode::ChainedSteps : DifficultyMode::SingleStep;
    testing::ConstantRandom random(size > 0 ? static_cast<float>(data[size - 1]) / 256 : 0);
    const RunResult result =
        generateWorksheet({input.substr(std::min<std::size_t>(size, 1), split - 1),
                           input.substr(std::min(split + 1, size)), mode},
                          folder.text(), random);
    const std::string sheet = testing::fileBytes(folder.worksheet()); // "" for no file
    std::filesystem::remove(folder.worksheet());
    const auto last = sheet.rfind('(');
    const int count = last == std::string::npos ? 0 : std::atoi(sheet.c_str() + last + 1);
    const bool sound = std::holds_alternative<SheetOnDisk>(result) // any range: no bounds
                           ? testing::worksheetFault(sheet, {count, NAN, mode}).empty()
                           : std::holds_alternative<SettingsFault>(result) && sheet.empty();
    if (!sound) {
        __builtin_trap();
    }
    return 0;
}
