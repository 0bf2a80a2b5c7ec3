// Faults of the worksheet file, made real: a failing run says which file and what is wrong, leaves
// the folder byte-identical, and the next run appends one whole sheet.
#include "file_faults.h"
#include "fixtures.h"
#include "generate_command.h"
#include "run.h"
#include "sheet_oracle.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace tallymere::testing {
namespace {

class FileFaultTest : public ::testing::TestWithParam<Fault> {};

using namespace std::literals;
constexpr const form::Control& chained = form::controlNamed(form::modeButtons, 1);

Lift saveAgain(const fs::path& file, std::string_view head)
{
    std::ofstream(file, std::ios::binary) << head;
    return [file] { fs::remove(file); };
}

TEST_P(FileFaultTest, LeavesTheFolderAsItWasAndTheNextRunWorks)
{
    const Fault& fault = GetParam();
    const char* smallDisk = std::getenv("TALLYMERE_SMALL_DISK");
    if (fault.smallDisk && smallDisk == nullptr) {
        GTEST_SKIP() << "needs the small disk that tests/generation/small_disk.sh mounts";
    }
    const TempFolder temp(fault.smallDisk ? smallDisk : fs::temp_directory_path());
    EngineRandom random;
    const WorksheetSettings startValues{"10", "100", DifficultyMode::SingleStep};
    generateWorksheet(startValues, temp.text(), random);
    const Lift lift = fault.impose != nullptr  ? fault.impose(temp.worksheet())
                      : !fault.savedAs.empty() ? saveAgain(temp.worksheet(), fault.savedAs)
                                               : [] {};
    if (fault.permission && std::ofstream(temp.worksheet(), std::ios::app)) {
        lift();
        GTEST_SKIP()
            << "has the power to write where permissions forbid, which small_disk.sh drops";
    }
    const auto before = snapshot(temp.path);

    std::string message; // what the window shows
    const auto started = std::chrono::steady_clock::now();
    std::thread([&] {
        if (fault.enter != nullptr) {
            fault.enter();
        }
        message =
            fault.smallDisk
                ? form::generateCommand("100", "999", chained, temp.text(), random).text
                : form::generateCommand("10", "100", form::startOption, temp.text(), random).text;
    }).join();
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - started;
    const std::string file = pathText(fs::path(temp.worksheet()).make_preferred());
    EXPECT_NE(message.find("“" + file + "”"), message.npos) << message;
    EXPECT_NE(message.find(fault.words), message.npos) << message;
    if (fault.holder) {
        // Before a window that does not answer looks frozen, not before another Tallymere appends.
        EXPECT_TRUE(waited.count() > 3 && waited.count() < 4) << waited.count() << " s";
    }
    EXPECT_EQ(snapshot(temp.path), before);

    // A holder lets go while the next run waits for it; any other fault is lifted before.
    std::jthread letGo([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.holder ? 300 : 0));
        lift();
    });
    if (!fault.holder) {
        letGo.join();
    }
    const int sheets = fs::is_regular_file(temp.worksheet()) ? 2 : 1;
    generateWorksheet(startValues, temp.text(), random);
    EXPECT_EQ(worksheetFault(fileBytes(temp.worksheet()), sheets, {100, 10, startValues.mode}), "");
}

// A word processor's own formats and Unicode text, told by a few bytes at the start; the teacher
// then moves the file away, as the message says.
constexpr std::string_view notText = "。这次没有写入任何内容。请把这个文件改名或移走";
const Fault savedAgain[] = {
    {.name = "word_97_2003", .words = notText, .savedAs = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"},
    {.name = "docx", .words = "另存为文档格式", .savedAs = "PK\x03\x04"},
    {.name = "rtf", .words = "另存为文档格式", .savedAs = "{\\rtf1\\ansi"},
    {.name = "utf16", .words = "另存为Unicode文本", .savedAs = "\xFF\xFE\r\0"sv},
    {.name = "utf16_big_endian", .words = "另存为Unicode文本", .savedAs = "\xFE\xFF\0\r"sv},
    {.name = "utf8_with_bom", .words = "另存为Unicode文本", .savedAs = "\xEF\xBB\xBF\r\n"},
};

const auto named = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Faults, FileFaultTest, ::testing::ValuesIn(fileFaults()), named);
INSTANTIATE_TEST_SUITE_P(SavedAgain, FileFaultTest, ::testing::ValuesIn(savedAgain), named);

} // namespace
} // namespace tallymere::testing
