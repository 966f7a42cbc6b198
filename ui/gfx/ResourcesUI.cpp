// Resources of a window host: the parent chain and colours, fonts, the
// image cache and class defaults.

#include "ui/gfx/ResourcesUI.h"

#include <string.h>

#include <new>

#include "ui/base/Utf8.h"
#include "ui/gfx/ProgramUI.h"

namespace ui {

namespace {

// The platform's face field holds 31 characters and a terminator.
const int kMaxFaceLength = LF_FACESIZE - 1;

// The Chinese faces of Windows by their English names as well: a Windows
// in another language may know them only by those.
const struct
{
    const WCHAR* local;
    const WCHAR* english;
} kFaceNames[] = {
    { L"\u5FAE\u8F6F\u96C5\u9ED1", L"Microsoft YaHei" },  // 微软雅黑
    { L"\u5B8B\u4F53", L"SimSun" },                         // 宋体
    { L"\u9ED1\u4F53", L"SimHei" },                         // 黑体
};

// Whether the font the platform made for `lf` has the face asked for.
bool HasFace(const LOGFONTW& lf, HFONT font)
{
    HDC dc = ::GetDC(nullptr);
    if (dc == nullptr)
        return true;
    HGDIOBJ previous = ::SelectObject(dc, font);
    WCHAR face[LF_FACESIZE] = {};
    int length = ::GetTextFaceW(dc, LF_FACESIZE, face);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    return length > 0 && ::lstrcmpiW(face, lf.lfFaceName) == 0;
}

// A font for `lf`; when its face is one of the Chinese faces above and the
// platform knows it only by its English name, the font of that name.
HFONT CreateFontByEitherName(LOGFONTW& lf)
{
    HFONT font = ::CreateFontIndirectW(&lf);
    for (const auto& names : kFaceNames) {
        if (font == nullptr || ::lstrcmpiW(lf.lfFaceName, names.local) != 0 || HasFace(lf, font))
            continue;
        LOGFONTW english = lf;
        ::lstrcpynW(english.lfFaceName, names.english, LF_FACESIZE);
        HFONT other = ::CreateFontIndirectW(&english);
        if (other != nullptr && HasFace(english, other)) {
            ::DeleteObject(font);
            return other;
        }
        if (other != nullptr)
            ::DeleteObject(other);
    }
    return font;
}

} // namespace

CResourcesUI::CResourcesUI()
    : m_parent(nullptr)
    , m_measureDC(nullptr)
    , m_disabledTextColor(0xFFA7A6AA)
    , m_defaultTextColor(0xFF000000)
    , m_linkTextColor(0xFF0000FF)
    , m_linkHoverTextColor(0xFFD3215F)
    , m_selectedBackColor(0xFFBAE4FF)
{
    LOGFONTW lf;
    ZeroMemory(&lf, sizeof(lf));
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    m_defaultFont.font = ::CreateFontIndirectW(&lf);
    char face[LF_FACESIZE * 3];
    CUtf8::FromUtf16(lf.lfFaceName, -1, face, sizeof face);
    m_defaultFont.face.Assign(face);
    m_defaultFont.size = -lf.lfHeight;
    m_defaultFont.bold = lf.lfWeight >= FW_BOLD;
    m_defaultFont.underline = lf.lfUnderline == 1;
    m_defaultFont.italic = lf.lfItalic == 1;
    // A stamp of its own from the start: two objects never share a
    // generation, so a layout made with one is never taken for the other's.
    FontsChanged();
}

CResourcesUI::~CResourcesUI()
{
    ReleaseAll();
}

void CResourcesUI::ReleaseAll()
{
    if (m_defaultFont.font != nullptr)
        ::DeleteObject(m_defaultFont.font);
    m_defaultFont.font = nullptr;
    ClearFonts();  // which marks the fonts changed
    ClearImages();
    ClearClassDefaults();
}

// ---- resource parent and colours ----------------------------------------------------

bool CResourcesUI::SetResourceParent(CResourcesUI* parent)
{
    for (CResourcesUI* resources = parent; resources != nullptr; resources = resources->m_parent) {
        if (resources == this)
            return false;
    }
    m_parent = parent;
    FontsChanged();
    return true;
}

CResourcesUI* CResourcesUI::TopResources()
{
    CResourcesUI* resources = this;
    while (resources->m_parent != nullptr)
        resources = resources->m_parent;
    return resources;
}

const CResourcesUI* CResourcesUI::TopResources() const
{
    const CResourcesUI* resources = this;
    while (resources->m_parent != nullptr)
        resources = resources->m_parent;
    return resources;
}

DWORD CResourcesUI::GetDisabledTextColor() const { return TopResources()->m_disabledTextColor; }
DWORD CResourcesUI::GetDefaultTextColor() const { return TopResources()->m_defaultTextColor; }
DWORD CResourcesUI::GetLinkTextColor() const { return TopResources()->m_linkTextColor; }
DWORD CResourcesUI::GetLinkHoverTextColor() const { return TopResources()->m_linkHoverTextColor; }
DWORD CResourcesUI::GetSelectedBackColor() const { return TopResources()->m_selectedBackColor; }

POINT CResourcesUI::GetLastMousePos() const
{
    POINT none = { -1, -1 };
    return none;
}

// ---- fonts -------------------------------------------------------------------------------

HFONT CResourcesUI::MakeFont(const char* face, int size, bool bold, bool underline, bool italic) const
{
    // A face that does not fit the platform's field is refused rather than
    // cut, which could name another font.
    if (face == nullptr)
        return nullptr;
    CWideText wide(face);
    if (wide.GetLength() > kMaxFaceLength)
        return nullptr;
    LOGFONTW lf;
    ZeroMemory(&lf, sizeof(lf));
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    memcpy(lf.lfFaceName, wide.GetData(), (wide.GetLength() + 1) * sizeof(WCHAR));
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    if (bold)
        lf.lfWeight += FW_BOLD;
    if (underline)
        lf.lfUnderline = TRUE;
    if (italic)
        lf.lfItalic = TRUE;
    return CreateFontByEitherName(lf);
}

void CResourcesUI::MeasureFont(UIFontInfo* info) const
{
    // Measured through the window's DC; before a window is bound, through
    // the screen's.
    HDC dc = m_measureDC;
    HDC screen = nullptr;
    if (dc == nullptr)
        dc = screen = ::GetDC(nullptr);
    if (dc == nullptr)
        return;
    HGDIOBJ previous = ::SelectObject(dc, info->font);
    ::GetTextMetricsW(dc, &info->metrics);
    ::SelectObject(dc, previous);
    if (screen != nullptr)
        ::ReleaseDC(nullptr, screen);
}

void CResourcesUI::SetBaseFont(const char* face, int size, bool bold, bool underline, bool italic)
{
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (font == nullptr)
        return;
    if (m_defaultFont.font != nullptr)
        ::DeleteObject(m_defaultFont.font);
    m_defaultFont.font = font;
    m_defaultFont.face.Assign(face);
    m_defaultFont.size = size;
    m_defaultFont.bold = bold;
    m_defaultFont.underline = underline;
    m_defaultFont.italic = italic;
    ZeroMemory(&m_defaultFont.metrics, sizeof(m_defaultFont.metrics));
    if (m_measureDC != nullptr)
        MeasureFont(&m_defaultFont);
    FontsChanged();
}

HFONT CResourcesUI::RegisterFont(const char* face, int size, bool bold, bool underline, bool italic)
{
    HFONT font = MakeFont(face, size, bold, underline, italic);
    if (font == nullptr)
        return nullptr;
    UIFontInfo* info = new (std::nothrow) UIFontInfo;
    if (info == nullptr) {
        ::DeleteObject(font);
        return nullptr;
    }
    info->font = font;
    info->face.Assign(face);
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    if (m_measureDC != nullptr)
        MeasureFont(info);
    if (!m_fonts.Add(info)) {
        ::DeleteObject(font);
        delete info;
        return nullptr;
    }
    FontsChanged();
    return font;
}

HFONT CResourcesUI::FindFont(const char* face, int size, bool bold, bool underline, bool italic) const
{
    if (face == nullptr)
        return nullptr;
    for (const CResourcesUI* resources = this; resources != nullptr; resources = resources->m_parent) {
        for (int i = 0; i < resources->m_fonts.GetSize(); ++i) {
            const UIFontInfo* info = static_cast<const UIFontInfo*>(resources->m_fonts.GetAt(i));
            if (info->face == face && info->size == size && info->bold == bold
                && info->underline == underline && info->italic == italic)
                return info->font;
        }
    }
    return nullptr;
}

UIFontInfo* CResourcesUI::GetFontRecord(int index)
{
    if (index < 0 || index >= m_fonts.GetSize())
        return GetDefaultFontRecord();
    UIFontInfo* info = static_cast<UIFontInfo*>(m_fonts.GetAt(index));
    if (info->metrics.tmHeight == 0)
        MeasureFont(info);
    return info;
}

UIFontInfo* CResourcesUI::GetFontRecord(HFONT font)
{
    for (CResourcesUI* resources = this; resources != nullptr; resources = resources->m_parent) {
        for (int i = 0; i < resources->m_fonts.GetSize(); ++i) {
            UIFontInfo* info = static_cast<UIFontInfo*>(resources->m_fonts.GetAt(i));
            if (info->font == font) {
                if (info->metrics.tmHeight == 0)
                    resources->MeasureFont(info);
                return info;
            }
        }
    }
    return GetDefaultFontRecord();
}

UIFontInfo* CResourcesUI::GetDefaultFontRecord()
{
    CResourcesUI* top = TopResources();
    if (top->m_defaultFont.metrics.tmHeight == 0)
        top->MeasureFont(&top->m_defaultFont);
    return &top->m_defaultFont;
}

HFONT CResourcesUI::GetFont(int index)
{
    return GetFontRecord(index)->font;
}

void CResourcesUI::ClearFonts()
{
    for (int i = 0; i < m_fonts.GetSize(); ++i) {
        UIFontInfo* info = static_cast<UIFontInfo*>(m_fonts.GetAt(i));
        ::DeleteObject(info->font);
        delete info;
    }
    m_fonts.Empty();
    FontsChanged();
}

namespace {

// One clock for every resources object, so that a chain's generation (its
// latest stamp) grows whenever any object of it changes, a new parent
// included.
unsigned s_fontClock = 0;

} // namespace

void CResourcesUI::FontsChanged()
{
    m_fontStamp = ++s_fontClock;
}

unsigned CResourcesUI::GetFontGeneration() const
{
    unsigned generation = 0;
    for (const CResourcesUI* resources = this; resources != nullptr; resources = resources->m_parent) {
        if (resources->m_fontStamp > generation)
            generation = resources->m_fontStamp;
    }
    return generation;
}

void CResourcesUI::SetMeasureDC(HDC dc)
{
    m_measureDC = dc;
    FontsChanged();
}

// ---- images ---------------------------------------------------------------------------------

UIImageInfo* CResourcesUI::CacheImage(const char* name, const char* resourceType, DWORD mask)
{
    if (name == nullptr || name[0] == '\0')
        return nullptr;
    bool fromResource = resourceType != nullptr && resourceType[0] != '\0';
    const char* loadName = name;
    if (fromResource) {
        if (name[0] < '0' || name[0] > '9')
            return nullptr;
        UINT id = 0;
        for (const char* p = name; *p >= '0' && *p <= '9'; ++p)
            id = id * 10 + static_cast<UINT>(*p - '0');
        loadName = MAKEINTRESOURCEA(static_cast<WORD>(id));
    }
    UIImageLoader loader = CProgramUI::GetImageLoader();
    if (loader == nullptr)
        return nullptr;
    UIImageInfo* info = loader(loadName, fromResource ? resourceType : nullptr, mask);
    if (info == nullptr)
        return nullptr;
    info->resourceType.Assign(fromResource ? resourceType : "");
    info->mask = mask;
    if (!m_images.Insert(name, info)) {
        if (info->bitmap != nullptr)
            ::DeleteObject(info->bitmap);
        delete info;
        return nullptr;
    }
    return info;
}

UIImageInfo* CResourcesUI::GetOrLoadImage(const char* name, const char* resourceType, DWORD mask)
{
    UIImageInfo* info = FindImage(name);
    if (info != nullptr)
        return info;
    CacheImage(name, resourceType, mask);
    return FindImage(name);
}

UIImageInfo* CResourcesUI::FindImage(const char* name) const
{
    if (name == nullptr)
        return nullptr;
    return static_cast<UIImageInfo*>(m_images.Find(name));
}

void CResourcesUI::ClearImages()
{
    m_images.Drain([](void* value) {
        UIImageInfo* info = static_cast<UIImageInfo*>(value);
        if (info->bitmap != nullptr)
            ::DeleteObject(info->bitmap);
        delete info;
    });
}

// ---- class defaults ----------------------------------------------------------------------------

void CResourcesUI::SetClassDefaults(const char* className, const char* attributes)
{
    if (className == nullptr)
        return;
    CUIString* text = new (std::nothrow) CUIString(attributes);
    if (text != nullptr && !m_classDefaults.Insert(className, text))
        delete text;  // the first definition stays
}

const char* CResourcesUI::GetClassDefaults(const char* className) const
{
    if (className == nullptr)
        return nullptr;
    for (const CResourcesUI* resources = this; resources != nullptr; resources = resources->m_parent) {
        const CUIString* text = static_cast<const CUIString*>(resources->m_classDefaults.Find(className));
        if (text != nullptr)
            return text->GetData();
    }
    return nullptr;
}

void CResourcesUI::ClearClassDefaults()
{
    m_classDefaults.Drain([](void* value) { delete static_cast<CUIString*>(value); });
}

} // namespace ui
