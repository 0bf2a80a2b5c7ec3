// Every outcome of an append, through the primitives each system gives: each fails in turn, the
// file grows behind the run, another program holds it; what the user is told, and the file after.
#include "messages.h"
#include "system_file.h"

#include <gtest/gtest.h>

namespace tallymere::testing {
namespace {

using namespace std::literals;
using Bytes = std::optional<std::string>; // nothing for no file

struct Outcome {
    const char* name;
    Bytes before, after;   // the file's bytes before the run and after it
    std::string_view told; // in the message; "" for 生成成功
    // The calls that fail, every time: o open, l lock, s size, h the head's read, w write, f flush,
    // r the size after a failure, t truncate, d removal, c close; and n (below).
    std::string_view failing = "";
    FileFault fault = FileFault::Other;
    std::size_t partly = 0; // what a failing write writes first
    char grows = ' ';       // another program appends a line just before this call
    // How long another program holds the file: open waits half of it, the lock all of it.
    std::chrono::milliseconds heldFor{};
};

const std::string sheet = "\r\nthe sheet\r\n", part = sheet.substr(0, 5), line = "another\r\n",
                  earlier = "\r\nan earlier sheet\r\n";
constexpr auto diskFull = FileFault::DiskFull;

// The worksheet file in memory, its calls failing as a row says (an error's code is its fault's
// number plus one), and the time, which passes only while the run sleeps.
class FakeFile final : public SystemFile, public Clock {
public:
    FakeFile(const Outcome& row, Bytes& bytes) : row_(row), bytes_(bytes), grows_(row.grows) {}
    SystemError open(const std::string&) override
    {
        created_ = !bytes_;
        bytes_ = bytes_.value_or("");
        opened_ = &bytes_;
        return time_ < TimePoint(row_.heldFor / 2) ? inUse : fails('o');
    }
    bool created() const override { return created_; }
    bool isDiskFile() const override { return true; }
    SystemError tryLock() override
    {
        if (time_ < TimePoint(row_.heldFor)) {
            return inUse;
        }
        // A row that fails n has the file's maker remove it once, before letting go of the lock.
        if (fails('n') && !lost_) {
            lost_ = std::exchange(bytes_, std::nullopt);
            opened_ = &lost_;
        }
        return fails('l');
    }
    bool isNamed() const override { return opened_ != &lost_; }
    // A failing size is given too: only its error may tell the run not to believe it.
    std::pair<std::uint64_t, SystemError> size() const override
    {
        return {contents().size(), fails(sized_++ == 0 ? 's' : 'r')};
    }
    std::pair<std::size_t, SystemError> readHead(std::span<char> head) const override
    {
        return {contents().copy(head.data(), head.size()), fails('h')};
    }
    std::pair<std::size_t, SystemError> write(std::string_view bytes) override
    {
        const SystemError error = fails('w');
        contents() += bytes.substr(0, error ? row_.partly : bytes.size());
        return {error ? row_.partly : bytes.size(), error};
    }
    SystemError flush() override { return fails('f'); }
    bool truncate(std::uint64_t length) override
    {
        const bool cut = !fails('t');
        contents().resize(cut ? length : contents().size());
        return cut;
    }
    bool remove() override
    {
        const bool removed = !fails('d');
        bytes_ = removed ? std::nullopt : bytes_;
        return removed;
    }
    SystemError close() override { return fails('c'); }
    std::optional<FileFault> faultOf(SystemError error) const override
    {
        const auto fault = static_cast<FileFault>(error.code - 1);
        return fault == FileFault::Other ? std::nullopt : std::optional(fault);
    }
    std::string systemWords(SystemError) const override { return "Input/output error"; }
    TimePoint now() override { return time_; }
    void sleepFor(std::chrono::steady_clock::duration duration) override { time_ += duration; }

private:
    static constexpr SystemError inUse{static_cast<std::uint32_t>(FileFault::InUse) + 1};
    std::string& contents() const { return **opened_; }
    SystemError fails(char call) const
    {
        if (grows_ == call) {
            contents() += line;
            grows_ = ' ';
        }
        const bool failing = row_.failing.find(call) != std::string_view::npos;
        return {failing ? static_cast<std::uint32_t>(row_.fault) + 1 : 0};
    }

    const Outcome& row_;
    Bytes& bytes_;
    Bytes lost_; // the file that the handle has open, once its maker removed it
    Bytes* opened_ = &bytes_;
    TimePoint time_;
    mutable char grows_;
    mutable int sized_ = 0;
    bool created_ = false;
};

// clang-format off
const Outcome outcomes[] = {
    {"appended_after_a_sheet", earlier, earlier + sheet, ""},
    {"first_sheet", {}, sheet, ""},
    {"open_fails", earlier, earlier, "无法打开文件“/老师/口算题.doc”：没有写入权限。这次没有写入任何内容。"
        "请把本程序复制到“桌面”或“文档”，从那里运行。", "o", FileFault::NoPermission},
    {"lock_fails", earlier, earlier, "无法打开文件“/老师/口算题.doc”：Input/output error。这次没有写入", "l"},
    {"size_fails", earlier, earlier, "无法打开文件“/老师/口算题.doc”：Input/output error。这次没有写入", "s"},
    {"head_fails", earlier, earlier, "无法打开文件“/老师/口算题.doc”：Input/output error。这次没有写入", "h"},
    {"write_fails_part_way", earlier, earlier, "写入文件“/老师/口算题.doc”失败：磁盘已满。文件保持原样。"
        "请删除一些不需要的文件，再按“生成Word”。", "w", diskFull, 5},
    {"write_of_nothing_fails", earlier, earlier, "磁盘已满。这次没有写入任何内容。", "w", diskFull},
    {"first_write_fails_part_way", {}, {}, "磁盘已满。没有留下文件。", "w", diskFull, 5},
    {"flush_fails", earlier, earlier, "Input/output error。文件保持原样。", "f"},
    {"cut_back_fails", earlier, earlier + part, "磁盘已满。未能撤销写入了一半的内容", "wt", diskFull, 5},
    {"recount_fails", earlier, earlier + part, "磁盘已满。未能撤销写入了一半的内容", "wr", diskFull, 5},
    {"removal_fails", {}, "", "磁盘已满。留下了一个空文件", "wd", diskFull, 5},
    {"close_fails_after_the_flush", earlier, earlier + sheet, "", "c"},
    {"grows_in_the_write", earlier, earlier + line + part, "未能撤销写入了一半", "w", diskFull, 5, 'w'},
    {"grows_in_a_write_of_nothing", earlier, earlier + line, "这次没有写入", "w", diskFull, 0, 'w'},
    {"grows_in_the_flush", earlier, earlier + sheet + line, "整张练习已写入文件", "f", diskFull, 0, 'f'},
    {"made_anew_after_its_maker_removed_it", {}, sheet, "", "n"},
    {"grows_as_it_is_made", {}, line, "磁盘已满。文件保持原样。", "w", diskFull, 5, 'o'},
    {"held_until_just_in_time", earlier, earlier + sheet, "", "", {}, 0, ' ', 3400ms},
    {"held_too_long", earlier, earlier, "文件正被其他程序使用。这次没有写入任何内容。", "", {}, 0, ' ', 3600ms},
    {"saved_as_word_97_2003", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1",
        "无法使用文件“/老师/口算题.doc”：它已被Word或WPS另存为文档格式，加在后面的练习在Word里看不到。"},
    {"saved_as_docx", "PK\x03\x04\x14", "PK\x03\x04\x14", "另存为文档格式"},
    {"saved_as_rtf", "{\\rtf1\\ansi", "{\\rtf1\\ansi", "另存为文档格式"},
    {"saved_as_utf8_with_a_bom", "\xEF\xBB\xBF\xE5\x8F\xA3", "\xEF\xBB\xBF\xE5\x8F\xA3", "另存为Unicode文本"},
    {"saved_as_utf16", "\xFF\xFE\x0D", "\xFF\xFE\x0D", "另存为Unicode文本"},
    {"saved_as_utf16_big_endian", "\xFE\xFF", "\xFE\xFF", "另存为Unicode文本"},
};
// clang-format on

class AppendOutcomeTest : public ::testing::TestWithParam<Outcome> {};

TEST_P(AppendOutcomeTest, TellsTheUserAndLeavesTheFileAsItSays)
{
    const Outcome& row = GetParam();
    Bytes bytes = row.before;
    FakeFile file(row, bytes);
    const auto failure = appendSheet(file, file, "/老师", sheet);
    const std::string told =
        failure ? form::fileMessage(*failure) : std::string(form::completionMessage);
    EXPECT_NE(told.find(row.told.empty() ? form::completionMessage : row.told), told.npos) << told;
    EXPECT_EQ(bytes, row.after);
}

INSTANTIATE_TEST_SUITE_P(Rows, AppendOutcomeTest, ::testing::ValuesIn(outcomes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallymere::testing
