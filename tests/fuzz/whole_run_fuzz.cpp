// Any settings (mode bit, range text, 0xFF, count text): a refusal writes nothing, a sheet is
// whole.
#include "generation/leading_number.h"
#include "generation/worksheet.h"
#include "generation/worksheet_error.h"
#include "support/fixtures.h"
#include "support/sheet_oracle.h"

using namespace tallymere;

// The program's engine, restarted from one seed at every reseed, so that a finding repeats.
struct SeededRandom final : RandomSource {
    float next() override { return engine.next(); }
    void reseed() override { engine = EngineRandom(1); }
    EngineRandom engine;
};

// Reads without NaN, whatever follows the number, and reads back the whole number a sheet prints.
bool readsWell(const std::string& text)
{
    const double number = leadingNumber(text);
    const double whole = std::floor(number);
    return !std::isnan(number) && leadingNumber(text + "x") == number &&
           (!std::isfinite(number) || leadingNumber(displayText(whole)) == whole);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const testing::TempFolder folder;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(input.find('\xFF', 1), size);
    const WorksheetSettings settings{input.substr(std::min<std::size_t>(size, 1), split - 1),
                                     input.substr(std::min(split + 1, size)),
                                     size > 0 && (data[0] & 1) ? DifficultyMode::ChainedSteps
                                                               : DifficultyMode::SingleStep};
    testing::RecordingNotice notice;
    SeededRandom random;
    std::string fault =
        readsWell(settings.rangeText) && readsWell(settings.countText) ? "" : "read";
    try {
        generateWorksheet(settings, folder.text(), notice, random);
        const double count = std::max(0.0, std::floor(leadingNumber(settings.countText)));
        fault += testing::worksheetFault(
            testing::fileBytes(folder.worksheet()), 1,
            {static_cast<int>(count), leadingNumber(settings.rangeText), settings.mode});
        std::filesystem::remove(folder.worksheet());
    } catch (const WorksheetError&) {
        fault += std::filesystem::exists(folder.worksheet()) ? "a refusal wrote" : "";
    }
    if (!fault.empty()) {
        __builtin_trap();
    }
    return 0;
}
