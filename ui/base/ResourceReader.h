#pragma once

#include "ui/base/UIResourceSource.h"

namespace ui {

// Reads a whole file from the resource folder, or a whole entry from the
// resource archive, into memory.
class CResourceReader
{
public:
    enum Result
    {
        kOk,
        kOpenFailed,        // the file could not be opened
        kEmpty,             // the file or entry holds no bytes
        kTooLarge,          // larger than the limit the caller gave
        kReadFailed,        // fewer bytes read than the file holds
        kArchiveOpenFailed, // the archive could not be opened
        kEntryNotFound,     // no such entry, or no usable archive handle
        kUnzipFailed,       // the entry could not be unpacked whole
        kNoMemory,
    };

    // The largest skin file the parser reads: 4 MiB.
    static const unsigned kMaxSkinSize = 0x400000;

    // Reads `name` from the source's archive when it names one, else the
    // file folder + name. On kOk `*bytes` is a malloc'ed buffer of `*size`
    // bytes that the caller frees; otherwise it is null.
    static Result Read(UIResourceSource& source, const char* name, unsigned maxSize, char** bytes,
                       unsigned* size);
    static Result ReadFile(const char* path, unsigned maxSize, char** bytes, unsigned* size);
    static Result ReadArchiveEntry(UIResourceSource& source, const char* name, unsigned maxSize,
                                   char** bytes, unsigned* size);

    // Opens (from a UTF-8 path) and closes an archive for
    // UIResourceSource::openArchive. Null when the archive cannot be opened.
    static void* OpenArchive(const char* path);
    static void CloseArchive(void* archive);
};

} // namespace ui
