// Resource archives as the resource reader opens them: a ZIP file in the
// resource folder, each entry read whole by its name, once through an
// archive opened for the one read and once through one kept open, skins
// (.xml) through the document loader and the rest through the reader with
// the image loader's limit.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unzip.h>

#include "ui/base/ResourceReader.h"
#include "ui/base/XmlDocument.h"

using ui::CResourceReader;
using ui::UIResourceSource;

namespace {

// The image loader's limit on image files: 64 MiB.
const unsigned kMaxImageFileSize = 0x4000000;
// Enough entries to reach past the first few; the reader looks up each by
// name from the directory's start.
const int kMaxEntries = 16;

std::string g_folder;

void RemoveFolder()
{
    std::remove((g_folder + "skin.zip").c_str());
    rmdir(g_folder.c_str());
}

const std::string& Folder()
{
    if (g_folder.empty()) {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/wavorin-zip-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()) == nullptr)
            std::abort();
        g_folder = std::string(name.data()) + "/";
        std::atexit(RemoveFolder);
    }
    return g_folder;
}

bool EndsWith(const std::string& text, const char* suffix)
{
    size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

void ReadEntry(UIResourceSource& source, const std::string& name)
{
    if (EndsWith(name, ".xml")) {
        ui::CXmlDocument document(true);
        document.LoadFromFile(name.c_str(), source);
        return;
    }
    char* bytes = nullptr;
    unsigned size = 0;
    if (CResourceReader::Read(source, name.c_str(), kMaxImageFileSize, &bytes, &size) == CResourceReader::kOk
        && (bytes == nullptr || size == 0))
        __builtin_trap();
    std::free(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& folder = Folder();
    std::FILE* file = std::fopen((folder + "skin.zip").c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);

    UIResourceSource source;
    source.folder = folder.c_str();
    source.archive = "skin.zip";

    // The names the program asks for, and the names the directory lists.
    std::vector<std::string> names = { "main.xml", "menu.xml", "combo.png" };
    void* listing = CResourceReader::OpenArchive((folder + "skin.zip").c_str());
    if (listing != nullptr) {
        unzFile archive = static_cast<unzFile>(listing);
        int found = unzGoToFirstFile(archive);
        for (int i = 0; found == UNZ_OK && i < kMaxEntries; ++i) {
            char name[260];
            if (unzGetCurrentFileInfo(archive, nullptr, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
                break;
            names.push_back(name);
            found = unzGoToNextFile(archive);
        }
    }

    for (const std::string& name : names)
        ReadEntry(source, name);
    if (listing != nullptr) {
        source.keepArchiveOpen = true;
        source.openArchive = listing;
        for (const std::string& name : names)
            ReadEntry(source, name);
        CResourceReader::CloseArchive(listing);
    }
    return 0;
}
