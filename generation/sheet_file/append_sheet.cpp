#include "patience.h"
#include "sheet_file.h"
#include "system_file.h"

#include <algorithm>
#include <array>
#include <thread>

namespace tallymere {

namespace {

// What a system error is to the user: a fault with words of its own, or the system's words.
struct Reason {
    FileFault fault;
    std::string systemWords;
};

Reason reasonOf(const PlatformFile& file, SystemError error)
{
    const auto fault = file.faultOf(error);
    return fault ? Reason{*fault, {}} : Reason{FileFault::Other, file.systemWords(error)};
}

class SteadyClock final : public Clock {
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::steady_clock::duration duration) override
    {
        std::this_thread::sleep_for(duration);
    }
};

// How a word processor's own formats and Unicode text begin. A sheet appended after them would
// never be seen: the word processor shows only what it saved, or garbles GBK lines.
struct Signature {
    std::string_view head;
    FileFault fault;
};
constexpr Signature foreignSignatures[] = {
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", FileFault::WordProcessorDocument}, // Word 97-2003, WPS
    {"PK\x03\x04", FileFault::WordProcessorDocument},                       // .docx, .odt
    {"{\\rtf", FileFault::WordProcessorDocument},
    {"\xEF\xBB\xBF", FileFault::UnicodeText}, // UTF-8's byte-order mark
    {"\xFF\xFE", FileFault::UnicodeText},     // UTF-16, either order
    {"\xFE\xFF", FileFault::UnicodeText},
};
// Enough of the file's start to tell UTF-8 text by, and to hold every signature.
constexpr std::size_t headBytes = 64;
static_assert(std::ranges::all_of(foreignSignatures,
                                  [](const Signature& s) { return s.head.size() <= headBytes; }));

// UTF-8 text beyond ASCII, as Notepad and other editors save it without a byte-order mark. The
// motto in GBK is never valid UTF-8. A character cut off at the head's end counts as whole.
bool isUtf8Text(std::string_view head)
{
    bool beyondAscii = false;
    for (std::size_t at = 0; at < head.size();) {
        const auto lead = static_cast<unsigned char>(head[at]);
        const std::size_t length = lead < 0x80   ? 1
                                   : lead < 0xC2 ? 0
                                   : lead < 0xE0 ? 2
                                   : lead < 0xF0 ? 3
                                   : lead < 0xF5 ? 4
                                                 : 0;
        const std::string_view tail = head.substr(at + 1, length - 1);
        if (length == 0 || std::ranges::any_of(tail, [](char c) { return (c & 0xC0) != 0x80; })) {
            return false;
        }
        beyondAscii = beyondAscii || length > 1;
        at += length;
    }
    return beyondAscii;
}

std::optional<FileFault> foreignFormat(std::string_view head)
{
    for (const Signature& signature : foreignSignatures) {
        if (head.starts_with(signature.head)) {
            return signature.fault;
        }
    }
    return isUtf8Text(head) ? std::optional(FileFault::UnicodeText) : std::nullopt;
}

// Opens the file and locks it, waiting by `clock` for busyPatience at most, both together, while
// another program holds it; says why where it cannot.
std::optional<Reason> openLocked(PlatformFile& file, const std::string& path, Clock& clock)
{
    const Clock::TimePoint deadline = clock.now() + busyPatience;
    const auto isBusy = [&file](SystemError error) {
        return file.faultOf(error) == FileFault::InUse;
    };
    for (;;) {
        if (const SystemError error =
                retryWhileBusy([&] { return file.open(path); }, isBusy, clock, deadline)) {
            return reasonOf(file, error);
        }
        // A device or a pipe would swallow the sheet; no need to wait for its lock to know.
        if (!file.isDiskFile()) {
            return Reason{FileFault::NotAFile, {}};
        }
        if (const SystemError error =
                retryWhileBusy([&file] { return file.tryLock(); }, isBusy, clock, deadline)) {
            return reasonOf(file, error);
        }
        if (file.isNamed()) {
            return std::nullopt;
        }
        // Its maker removed it after a failure; a sheet written to it now would be lost.
        file.close();
        if (clock.now() >= deadline) {
            return Reason{FileFault::InUse, {}};
        }
    }
}

// Under the lock: whether the file can take a sheet where a word processor will show it.
std::optional<Reason> checkFormat(const PlatformFile& file)
{
    std::array<char, headBytes> head{};
    const auto [read, error] = file.readHead(head);
    if (error) {
        return reasonOf(file, error);
    }
    if (const auto fault = foreignFormat({head.data(), read})) {
        return Reason{*fault, {}};
    }
    return std::nullopt;
}

SystemError writeAll(PlatformFile& file, std::string_view bytes, std::uint64_t& written)
{
    while (written < bytes.size()) {
        const auto [some, error] = file.write(bytes.substr(written));
        written += some;
        if (error) {
            return error;
        }
    }
    // Only bytes on the disk survive a power cut, and only those may be reported as written.
    return file.flush();
}

// Takes back what this run wrote, and only that: a file longer than that holds lines of a program
// that appends without the lock. Says what the file holds then.
FileHolds undo(PlatformFile& file, std::uint64_t length, std::uint64_t written, std::uint64_t whole)
{
    const FileHolds ours = written == 0      ? FileHolds::NothingOfTheSheet
                           : written < whole ? FileHolds::PartOfTheSheet
                                             : FileHolds::TheWholeSheet;
    const auto [size, error] = file.size();
    if (error || size != length + written) {
        return ours;
    }
    // Another program may write to a file before its maker does.
    if (file.created() && length == 0) {
        if (file.remove()) {
            return FileHolds::NoFile;
        }
        return written == 0 || file.truncate(0) ? FileHolds::AnEmptyFile : ours;
    }
    return written == 0 || !file.truncate(length) ? ours : FileHolds::WhatItHeld;
}

// A file the run made goes again before any write, unless another program holds it or wrote to
// it; made empty under the lock, it is taken as empty where its size cannot be read.
FileHolds undoOpening(PlatformFile& file, FileFault fault)
{
    if (!file.created() || fault == FileFault::InUse) {
        return FileHolds::NothingOfTheSheet;
    }
    const auto [size, error] = file.size();
    if (!error && size != 0) {
        return FileHolds::NothingOfTheSheet;
    }
    return file.remove() ? FileHolds::NoFile
           : error       ? FileHolds::NothingOfTheSheet
                         : FileHolds::AnEmptyFile;
}

FileFailure failureOf(const std::string& path, FileStep step, Reason reason, FileHolds holds)
{
    return {path, step, reason.fault, std::move(reason.systemWords), holds};
}

// Under the lock: what the file holds before this sheet, and so what a failure leaves.
std::optional<Reason> measure(PlatformFile& file, std::uint64_t& length)
{
    const auto [size, error] = file.size();
    length = size;
    return error ? std::optional(reasonOf(file, error)) : checkFormat(file);
}

} // namespace

std::optional<FileFailure> appendSheet(PlatformFile& file, Clock& clock, const std::string& path,
                                       std::string_view bytes)
{
    std::uint64_t length = 0;
    std::optional<Reason> reason = openLocked(file, path, clock);
    if (!reason) {
        reason = measure(file, length);
    }
    if (reason) {
        const FileHolds holds = undoOpening(file, reason->fault);
        return failureOf(path, FileStep::Opening, std::move(*reason), holds);
    }
    std::uint64_t written = 0;
    if (const SystemError error = writeAll(file, bytes, written)) {
        // Undone before the failure is put together, which may run out of memory.
        const FileHolds holds = undo(file, length, written, bytes.size());
        return failureOf(path, FileStep::Writing, reasonOf(file, error), holds);
    }
    // The whole sheet is on the disk: a close that fails now loses nothing of it.
    file.close();
    return std::nullopt;
}

std::optional<FileFailure> appendSheet(const std::string& path, std::string_view bytes)
{
    PlatformFile file;
    SteadyClock clock;
    return appendSheet(file, clock, path, bytes);
}

} // namespace tallymere
