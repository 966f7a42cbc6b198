#include "ui/gfx/ProgramUI.h"

#include <string.h>

#include "ui/base/ResourceReader.h"
#include "ui/base/Utf8.h"
#include "ui/gfx/Renderer.h"

namespace ui {

HINSTANCE CProgramUI::s_instance = nullptr;
HINSTANCE CProgramUI::s_resourceInstance = nullptr;
CUIString CProgramUI::s_resourceFolder;
CUIString CProgramUI::s_resourceArchive;
bool CProgramUI::s_archiveCached = false;
void* CProgramUI::s_archive = nullptr;
UIImageLoader CProgramUI::s_imageLoader = &CRenderer::LoadImageFile;

void CProgramUI::SetProgramInstance(HINSTANCE instance) { s_instance = instance; }
HINSTANCE CProgramUI::GetProgramInstance() { return s_instance; }
void CProgramUI::SetResourceInstance(HINSTANCE instance) { s_resourceInstance = instance; }

HINSTANCE CProgramUI::GetResourceInstance()
{
    return s_resourceInstance != nullptr ? s_resourceInstance : s_instance;
}

void CProgramUI::SetResourceFolder(const char* folder) { s_resourceFolder.Assign(folder); }
const CUIString& CProgramUI::GetResourceFolder() { return s_resourceFolder; }
void CProgramUI::SetResourceArchive(const char* name) { s_resourceArchive.Assign(name); }
const CUIString& CProgramUI::GetResourceArchive() { return s_resourceArchive; }

bool CProgramUI::SetResourceArchiveCached(bool keep)
{
    if (s_archive != nullptr) {
        CResourceReader::CloseArchive(s_archive);
        s_archive = nullptr;
    }
    s_archiveCached = false;
    if (!keep || s_resourceArchive.IsEmpty())
        return !keep;
    CUIString path(s_resourceFolder);
    path.Append(s_resourceArchive);
    s_archive = CResourceReader::OpenArchive(path);
    s_archiveCached = s_archive != nullptr;
    return s_archiveCached;
}

bool CProgramUI::IsResourceArchiveCached() { return s_archiveCached; }
void* CProgramUI::GetCachedArchive() { return s_archiveCached ? s_archive : nullptr; }

UIResourceSource CProgramUI::GetResourceSource()
{
    UIResourceSource source;
    source.folder = s_resourceFolder;
    source.archive = s_resourceArchive;
    source.keepArchiveOpen = IsResourceArchiveCached();
    source.openArchive = GetCachedArchive();
    return source;
}

CUIString CProgramUI::GetModuleDirectory()
{
    CUIString directory;
    if (s_instance == nullptr)
        return directory;
    WCHAR wide[MAX_PATH + 1];
    DWORD length = ::GetModuleFileNameW(s_instance, wide, MAX_PATH);
    char path[MAX_PATH * 3 + 1];
    CUtf8::FromUtf16(wide, length < MAX_PATH ? static_cast<int>(length) : MAX_PATH, path, sizeof path);
    char* lastSlash = strrchr(path, '\\');
    if (lastSlash != nullptr)
        lastSlash[1] = '\0';
    directory.Assign(path);
    return directory;
}

UIImageLoader CProgramUI::SetImageLoader(UIImageLoader loader)
{
    UIImageLoader previous = s_imageLoader;
    s_imageLoader = loader;
    return previous;
}

UIImageLoader CProgramUI::GetImageLoader() { return s_imageLoader; }

} // namespace ui
