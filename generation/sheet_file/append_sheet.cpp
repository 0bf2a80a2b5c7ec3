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

Reason reasonOf(const SystemFile& file, SystemError error)
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
constexpr std::size_t longestSignature = 8;

std::optional<FileFault> foreignFormat(std::string_view head)
{
    for (const Signature& signature : foreignSignatures) {
        if (head.starts_with(signature.head)) {
            return signature.fault;
        }
    }
    return std::nullopt;
}

// Opens the file and locks it, waiting by `clock` for busyPatience at most, both together, while
// another program holds it; says why where it cannot.
std::optional<Reason> openLocked(SystemFile& file, const std::string& path, Clock& clock)
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
std::optional<Reason> checkFormat(const SystemFile& file)
{
    std::array<char, longestSignature> head{};
    const auto [read, error] = file.readHead(head);
    if (error) {
        return reasonOf(file, error);
    }
    if (const auto fault = foreignFormat({head.data(), read})) {
        return Reason{*fault, {}};
    }
    return std::nullopt;
}

SystemError writeAll(SystemFile& file, std::string_view bytes, std::uint64_t& written)
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

// Takes back what this run wrote, and only that: the file must be exactly its old length and what
// this run wrote, or it holds lines of a program that appends without the lock, which cutting back
// would erase. Says what the file holds then.
FileHolds undo(SystemFile& file, std::uint64_t length, std::uint64_t written, std::uint64_t whole)
{
    const FileHolds ours = written == 0      ? FileHolds::NothingOfTheSheet
                           : written < whole ? FileHolds::PartOfTheSheet
                                             : FileHolds::TheWholeSheet;
    const auto [size, error] = file.size();
    if (error || size != length + written) {
        return ours;
    }
    // Empty when it was made: a file that another program wrote to first is not this run's to
    // remove.
    if (file.created() && length == 0) {
        if (file.remove()) {
            return FileHolds::NoFile;
        }
        return written == 0 || file.truncate(0) ? FileHolds::AnEmptyFile : ours;
    }
    return written == 0 || !file.truncate(length) ? ours : FileHolds::WhatItHeld;
}

// The path rule: where the file is (below), and how a message shows it, a Windows path (the only
// kind that does not start with "/") with "\" alone.
std::string shownPath(std::string path)
{
    if (!path.starts_with('/')) {
        std::replace(path.begin(), path.end(), '/', '\\');
    }
    return path;
}

FileFailure openFailure(const std::string& path, Reason reason)
{
    return {shownPath(path), FileStep::Opening, reason.fault, std::move(reason.systemWords),
            FileHolds::NothingOfTheSheet};
}

} // namespace

std::string worksheetPath(std::string_view folder)
{
    const std::string_view separator = folder.starts_with("\\\\?\\") ? "\\" : "/";
    return std::string(folder) + std::string(separator) + std::string(worksheetFileName);
}

std::optional<FileFailure> appendSheet(SystemFile& file, Clock& clock, std::string_view folder,
                                       std::string_view bytes)
{
    const std::string path = worksheetPath(folder);
    if (auto reason = openLocked(file, path, clock)) {
        return openFailure(path, std::move(*reason));
    }
    // Taken under the lock: what the file holds before this sheet, and so what a failure leaves.
    const auto [length, sizeError] = file.size();
    if (sizeError) {
        return openFailure(path, reasonOf(file, sizeError));
    }
    if (auto reason = checkFormat(file)) {
        return openFailure(path, std::move(*reason));
    }
    std::uint64_t written = 0;
    if (const SystemError error = writeAll(file, bytes, written)) {
        // Undone before the failure is put together, which may run out of memory.
        const FileHolds holds = undo(file, length, written, bytes.size());
        Reason reason = reasonOf(file, error);
        return FileFailure{shownPath(path), FileStep::Writing, reason.fault,
                           std::move(reason.systemWords), holds};
    }
    // The whole sheet is on the disk: a close that fails now loses nothing of it.
    file.close();
    return std::nullopt;
}

std::optional<FileFailure> appendSheet(std::string_view folder, std::string_view bytes)
{
    PlatformFile file;
    SteadyClock clock;
    return appendSheet(file, clock, folder, bytes);
}

} // namespace tallymere
