#include "ui/base/ResourceReader.h"

#include "ui/base/Utf8.h"

#include <unzip.h>
#ifdef _WIN32
#include <iowin32.h>
#endif

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace ui {

CResourceReader::Result CResourceReader::Read(UIResourceSource& source, const char* name,
                                              unsigned maxSize, char** bytes, unsigned* size)
{
    if (!source.archive.IsEmpty())
        return ReadArchiveEntry(source, name, maxSize, bytes, size);
    CUIString path(source.folder);
    path.Append(name);
    return ReadFile(path, maxSize, bytes, size);
}

#ifdef _WIN32

CResourceReader::Result CResourceReader::ReadFile(const char* path, unsigned maxSize, char** bytes,
                                                  unsigned* size)
{
    *bytes = nullptr;
    *size = 0;
    if (!path)
        return kOpenFailed;
    CWideText widePath(path);
    HANDLE file = CreateFileW(widePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return kOpenFailed;
    DWORD high = 0;
    DWORD length = GetFileSize(file, &high);
    Result result = kOk;
    if (length == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        result = kReadFailed;
    else if (high != 0 || length > maxSize)
        result = kTooLarge;
    else if (length == 0)
        result = kEmpty;
    char* buffer = nullptr;
    if (result == kOk) {
        buffer = static_cast<char*>(std::malloc(length));
        if (!buffer)
            result = kNoMemory;
    }
    if (result == kOk) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, length, &read, nullptr) || read < length) {
            std::free(buffer);
            buffer = nullptr;
            result = kReadFailed;
        }
    }
    CloseHandle(file);
    *bytes = buffer;
    if (buffer)
        *size = length;
    return result;
}

#else

CResourceReader::Result CResourceReader::ReadFile(const char* path, unsigned maxSize, char** bytes,
                                                  unsigned* size)
{
    *bytes = nullptr;
    *size = 0;
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return kOpenFailed;
    struct stat info;
    Result result = kOk;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        result = kReadFailed;
    else if (static_cast<unsigned long long>(info.st_size) > maxSize)
        result = kTooLarge;
    else if (info.st_size == 0)
        result = kEmpty;
    unsigned length = result == kOk ? static_cast<unsigned>(info.st_size) : 0;
    char* buffer = nullptr;
    if (result == kOk) {
        buffer = static_cast<char*>(std::malloc(length));
        if (!buffer)
            result = kNoMemory;
    }
    if (result == kOk && std::fread(buffer, 1, length, file) < length) {
        std::free(buffer);
        buffer = nullptr;
        result = kReadFailed;
    }
    std::fclose(file);
    *bytes = buffer;
    if (buffer)
        *size = length;
    return result;
}

#endif

void* CResourceReader::OpenArchive(const char* path)
{
    if (!path)
        return nullptr;
#ifdef _WIN32
    // The UTF-8 path as UTF-16, through minizip's wide file functions.
    CWideText widePath(path);
    zlib_filefunc64_def files;
    fill_win32_filefunc64W(&files);
    return unzOpen2_64(widePath.GetData(), &files);
#else
    return unzOpen(path);
#endif
}

void CResourceReader::CloseArchive(void* archive)
{
    if (archive)
        unzClose(static_cast<unzFile>(archive));
}

namespace {

// Unpacks the current entry of `archive` whole into `buffer` of `size`
// bytes. An entry that holds more than its directory says still counts as
// read; one that holds less, or fails its checksum, does not.
bool UnpackCurrentEntry(unzFile archive, char* buffer, unsigned size)
{
    if (unzOpenCurrentFile(archive) != UNZ_OK)
        return false;
    unsigned done = 0;
    bool ok = true;
    while (done < size) {
        int n = unzReadCurrentFile(archive, buffer + done, size - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<unsigned>(n);
    }
    int closed = unzCloseCurrentFile(archive);
    return ok && closed != UNZ_CRCERROR;
}

} // namespace

CResourceReader::Result CResourceReader::ReadArchiveEntry(UIResourceSource& source, const char* name,
                                                          unsigned maxSize, char** bytes,
                                                          unsigned* size)
{
    *bytes = nullptr;
    *size = 0;
    unzFile archive = nullptr;
    if (source.keepArchiveOpen) {
        archive = static_cast<unzFile>(source.openArchive);
    } else {
        CUIString path(source.folder);
        path.Append(source.archive);
        archive = static_cast<unzFile>(OpenArchive(path));
        if (!archive)
            return kArchiveOpenFailed;
    }

    Result result = kOk;
    unz_file_info info;
    if (!archive || !name) {
        source.lastArchiveResult = UNZ_PARAMERROR;
        result = kEntryNotFound;
    } else {
        source.lastArchiveResult = unzLocateFile(archive, name, 1);
        if (source.lastArchiveResult != UNZ_OK
            || unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            result = kEntryNotFound;
        else if (info.uncompressed_size == 0)
            result = kEmpty;
        else if (info.uncompressed_size > maxSize)
            result = kTooLarge;
    }

    char* buffer = nullptr;
    if (result == kOk) {
        buffer = static_cast<char*>(std::malloc(info.uncompressed_size));
        if (!buffer)
            result = kNoMemory;
    }
    if (result == kOk && !UnpackCurrentEntry(archive, buffer, static_cast<unsigned>(info.uncompressed_size))) {
        std::free(buffer);
        buffer = nullptr;
        result = kUnzipFailed;
    }
    if (!source.keepArchiveOpen)
        unzClose(archive);
    *bytes = buffer;
    if (buffer)
        *size = static_cast<unsigned>(info.uncompressed_size);
    return result;
}

} // namespace ui
