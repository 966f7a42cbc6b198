#pragma once

// Settings of the whole program rather than of one window: the modules that
// hold its resources, where skin and image files are read from, and the
// function that loads images. The window host forwards its static settings
// here; image loading reads them without a host.

#include <windows.h>

#include "ui/base/UIResourceSource.h"
#include "ui/base/UIString.h"
#include "ui/gfx/UIImageInfo.h"

namespace ui {

class CProgramUI
{
public:
    CProgramUI() = delete;

    static void SetProgramInstance(HINSTANCE instance);
    static HINSTANCE GetProgramInstance();
    // The module holding the resources; falls back to the program instance.
    static void SetResourceInstance(HINSTANCE instance);
    static HINSTANCE GetResourceInstance();
    // Folder prefix (ending in a backslash) of skin and image files.
    static void SetResourceFolder(const char* folder);
    static const CUIString& GetResourceFolder();
    // A ZIP archive under the resource folder to read files from instead.
    static void SetResourceArchive(const char* name);
    static const CUIString& GetResourceArchive();
    // With `keep` the archive is opened once and that handle is reused for
    // every file; without it each read opens the archive. The cached handle
    // is an unzFile, or null when caching is off or the archive is missing.
    static bool SetResourceArchiveCached(bool keep);
    static bool IsResourceArchiveCached();
    static void* GetCachedArchive();
    // The folder, archive and cached handle above, for the file readers.
    static UIResourceSource GetResourceSource();
    // Folder of the program's module, with its trailing backslash; empty
    // without a program instance.
    static CUIString GetModuleDirectory();

    // The function that loads images into the caches of CResourcesUI;
    // CRenderer::LoadImageFile by default. Returns the previous one. Without
    // a loader no image loads.
    static UIImageLoader SetImageLoader(UIImageLoader loader);
    static UIImageLoader GetImageLoader();

private:
    static HINSTANCE s_instance;
    static HINSTANCE s_resourceInstance;
    static CUIString s_resourceFolder;
    static CUIString s_resourceArchive;
    static bool s_archiveCached;
    static void* s_archive;
    static UIImageLoader s_imageLoader;
};

} // namespace ui
