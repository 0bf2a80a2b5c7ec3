#pragma once

#include <string>

// What went wrong with the worksheet file and what it holds now, as values; the form words them.
namespace tallymere {

// What stood in the sheet's way.
enum class FileFault {
    NoPermission,
    ReadOnlyFile, // the file's own read-only mark
    ReadOnlyDisk,
    FolderMissing,
    FolderInTheWay,
    DiskFull,
    QuotaUsed,
    TooLarge,
    InUse,
    NotAFile,
    WordProcessorDocument, // saved again in Word's or WPS's own format: no sheet after it shows
    UnicodeText,           // saved again as UTF-16 or UTF-8, which GBK lines after it garble
    Other, // only the system's own words say what
};

// How far the run got: it could not open the file, or could not write the sheet to it.
enum class FileStep { Opening, Writing };

// What the file holds after the failed run.
enum class FileHolds {
    NothingOfTheSheet, // the run wrote nothing to it
    WhatItHeld,        // the run took back what it wrote
    NoFile,            // the run made the file and removed it again
    AnEmptyFile,       // the run made the file and could only empty it
    PartOfTheSheet,    // what the run wrote stays at its end
    TheWholeSheet,     // all of it, though it may not be on the disk: its flush failed
};

struct FileFailure {
    std::string path; // as a message shows it
    FileStep step;
    FileFault fault;
    std::string systemWords; // what the system said, the only words for FileFault::Other
    FileHolds holds;
};

} // namespace tallymere
