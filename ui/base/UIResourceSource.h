#pragma once

#include "ui/base/UIString.h"

namespace ui {

// Where the framework reads skin files and images named by file name: a
// folder, or a ZIP archive inside that folder. One program-wide instance
// is kept by the program settings (CProgramUI); the loaders take it as a
// parameter.
struct UIResourceSource
{
    // Folder prefix, ending in a backslash (or a slash); empty means the
    // current directory. Names are appended to it as they are.
    CUIString folder;
    // File name of a ZIP archive under `folder`; when not empty, every file
    // is read from this archive instead of the folder.
    CUIString archive;
    // When set, `openArchive` is used instead of opening the archive for
    // every file. Default off.
    bool keepArchiveOpen = false;
    // The archive handle kept open by the owner (CResourceReader::OpenArchive).
    void* openArchive = nullptr;
    // Result code of the last entry lookup in the archive (0: found).
    int lastArchiveResult = 0;
};

} // namespace ui
