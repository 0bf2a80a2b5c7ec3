// Faults of the worksheet file made real, which each system's calls must turn into the right fault:
// a failing run says which file and what is wrong, leaves the folder byte-identical, and once the
// fault is lifted the next run takes its sheet.
#include "file_faults.h"
#include "fixtures.h"
#include "generate_command.h"
#include "messages.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>

namespace tallymere::testing {
namespace {

using namespace std::literals;

} // namespace

// A failing row says its name.
void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

namespace {

class FileFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(FileFaultTest, LeavesTheFolderAsItWasAndTheNextRunWorks)
{
    const Fault& fault = GetParam();
    const char* smallDisk = std::getenv("TALLYMERE_SMALL_DISK");
    if (fault.smallDisk && smallDisk == nullptr) {
        GTEST_SKIP() << "needs the small disk that tests/generation/small_disk.sh mounts";
    }
    const TempFolder temp(fault.smallDisk ? smallDisk : fs::temp_directory_path());
    EngineRandom random;
    const auto run = [&](std::string range, std::string count, const form::Control& mode) {
        return form::generateCommand(range, count, mode, temp.text(), random).text;
    };
    ASSERT_EQ(run("10", "100", form::startOption), form::completionMessage);
    const Lift lift = fault.impose != nullptr ? fault.impose(temp.worksheet()) : [] {};
    if (fault.permission && std::ofstream(temp.worksheet(), std::ios::app)) {
        lift();
        GTEST_SKIP() << "can write where permissions forbid, a power small_disk.sh drops";
    }
    const auto before = snapshot(temp.path);

    const auto started = std::chrono::steady_clock::now();
    const std::string message =
        fault.smallDisk
            ? run("100", "999", form::controlNamed(form::modeButtons, 1)) // what the window shows
            : run("10", "100", form::startOption);
    const std::string file = pathText(fs::path(temp.worksheet()).make_preferred());
    EXPECT_NE(message.find("“" + file + fault.told), message.npos) << message;
    // A held file is given up before a window that does not answer looks frozen.
    EXPECT_TRUE(!fault.holder || std::chrono::steady_clock::now() - started < 4s);
    EXPECT_EQ(snapshot(temp.path), before);
    lift();
    EXPECT_EQ(run("10", "100", form::startOption), form::completionMessage);
}

// Those of every system.
const Fault everywhere[] = {
    {"folder_in_the_files_place", toldBeforeWriting(FileFault::FolderInTheWay),
     folderInTheFilesPlace},
    {"saved_as_a_word_document", toldBeforeWriting(FileFault::WordProcessorDocument),
     [](const fs::path& file) -> Lift { // a Word 97-2003 document starts as every OLE2 file does
         std::ofstream(file, std::ios::binary) << "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
         return [file] { fs::remove(file); }; // moved away, as the message says
     }},
    {"disk_full_part_way", "”失败：磁盘已满。文件保持原样。请删除一些不需要的文件", nullptr, false,
     true},
    {"first_sheet_on_a_full_disk", "”失败：磁盘已满。没有留下文件。", noFile, false, true},
};

const auto named = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Everywhere, FileFaultTest, ::testing::ValuesIn(everywhere), named);
INSTANTIATE_TEST_SUITE_P(ThisSystem, FileFaultTest, ::testing::ValuesIn(fileFaults()), named);

} // namespace
} // namespace tallymere::testing
