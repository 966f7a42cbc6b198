#include "ui/base/XmlDocument.h"

#include "ui/base/ResourceReader.h"
#include "ui/base/Utf8.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace ui {

// Character classes of the parser, one bit each, looked up by byte, so that
// the scanning loops test one table entry per byte.
namespace {

enum : unsigned char {
    kSpace = 1,       // 1 to 32: whitespace; bytes above 127 never are
    kName = 2,        // letters, digits, '_' and ':'
    kText = 4,        // every value stops here: NUL and '&'; UTF-8 runs through
    kContentEnd = 8,  // '<' ends an element's content
    kValueEnd = 16,   // '"' ends an attribute value
    kBlank = 32,      // ' ' swallows the whitespace after it when collapsing
};

struct CharClasses
{
    unsigned char of[256];

    constexpr CharClasses() : of()
    {
        for (int c = 1; c <= 32; ++c)
            of[c] |= kSpace;
        for (int c = 0; c < 256; ++c) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':')
                of[c] |= kName;
            if (c == 0 || c == '&')
                of[c] |= kText;
        }
        of[static_cast<unsigned char>('<')] |= kContentEnd;
        of[static_cast<unsigned char>('"')] |= kValueEnd;
        of[static_cast<unsigned char>(' ')] |= kBlank;
    }
};

constexpr CharClasses kClasses;

inline bool Is(char c, unsigned char classes)
{
    return (kClasses.of[static_cast<unsigned char>(c)] & classes) != 0;
}

inline bool IsSpace(char c)
{
    return Is(c, kSpace);
}

// The first byte from `p` on that is not of `classes`. NUL is of no class
// that is skipped, so the unrolled steps never pass the end of the text.
inline char* SkipWhile(char* p, unsigned char classes)
{
    for (;; p += 4) {
        if (!Is(p[0], classes))
            return p;
        if (!Is(p[1], classes))
            return p + 1;
        if (!Is(p[2], classes))
            return p + 2;
        if (!Is(p[3], classes))
            return p + 3;
    }
}

// The first byte from `p` on that is of `classes`, which hold NUL.
inline char* SkipUntil(char* p, unsigned char classes)
{
    for (;; p += 4) {
        if (Is(p[0], classes))
            return p;
        if (Is(p[1], classes))
            return p + 1;
        if (Is(p[2], classes))
            return p + 2;
        if (Is(p[3], classes))
            return p + 3;
    }
}

inline void SkipWhitespace(char*& p)
{
    p = SkipWhile(p, kSpace);
}

inline char* SkipName(char* p)
{
    return SkipWhile(p, kName);
}

// Makes room for one more item behind the `count` of a malloc'ed array
// that holds `reserved`; false when memory runs out. The array doubles
// (512, 1 024, 2 048, ...), so that large documents copy it seldom.
template <typename T>
bool MakeRoom(T*& items, int count, int& reserved)
{
    if (count < reserved)
        return true;
    int grow = reserved > 0 ? reserved : 512;
    if (reserved > INT_MAX - grow || static_cast<size_t>(reserved + grow) > SIZE_MAX / sizeof(T))
        return false;
    void* block = std::realloc(items, (reserved + grow) * sizeof(T));
    if (!block)
        return false;
    items = static_cast<T*>(block);
    reserved += grow;
    return true;
}

// Steps `p` over the entity reference behind an '&' and returns its
// character; an unknown reference stands for the '&' itself and is not stepped.
inline char DecodeEntity(char*& p)
{
    char decoded = '&';
    int length = 0;
    switch (p[0]) {
    case 'a':
        if (p[1] == 'm' && p[2] == 'p' && p[3] == ';')
            decoded = '&', length = 4;
        else if (p[1] == 'p' && p[2] == 'o' && p[3] == 's' && p[4] == ';')
            decoded = '\'', length = 5;
        break;
    case 'l':
        if (p[1] == 't' && p[2] == ';')
            decoded = '<', length = 3;
        break;
    case 'g':
        if (p[1] == 't' && p[2] == ';')
            decoded = '>', length = 3;
        break;
    case 'q':
        if (p[1] == 'u' && p[2] == 'o' && p[3] == 't' && p[4] == ';')
            decoded = '"', length = 5;
        break;
    }
    p += length;
    return decoded;
}

} // namespace

CXmlDocument::CXmlDocument(bool preserveWhitespace)
    : m_pstrXML(nullptr),
      m_pElements(nullptr),
      m_nElements(0),
      m_nReservedElements(0),
      m_pAttributes(nullptr),
      m_nAttributes(0),
      m_nReservedAttributes(0),
      m_bPreserveWhitespace(preserveWhitespace)
{
    m_szErrorMsg[0] = '\0';
    m_szErrorXML[0] = '\0';
}

CXmlDocument::~CXmlDocument()
{
    Release();
}

void CXmlDocument::Release()
{
    std::free(m_pstrXML);
    std::free(m_pElements);
    std::free(m_pAttributes);
    m_pstrXML = nullptr;
    m_pElements = nullptr;
    m_nElements = 0;
    m_nReservedElements = 0;
    m_pAttributes = nullptr;
    m_nAttributes = 0;
    m_nReservedAttributes = 0;
}

// ---------------------------------------------------------------------------
// Loading

bool CXmlDocument::LoadFromString(const char* text)
{
    if (!text)
        text = "";
    return ParseCopy(text, std::strlen(text));
}

bool CXmlDocument::LoadFromUtf8(const void* bytes, int size)
{
    const char* utf8 = static_cast<const char*>(bytes);
    if (!utf8 || size < 0)
        size = 0;
    if (size > 2 && std::memcmp(utf8, "\xEF\xBB\xBF", 3) == 0) {
        utf8 += 3;
        size -= 3;
    }
    return ParseCopy(utf8 ? utf8 : "", static_cast<size_t>(size));
}

// The framework's texts are UTF-8 like the skins, so a skin is parsed as it
// stands, in a terminated copy.
bool CXmlDocument::ParseCopy(const char* text, size_t length)
{
    Release();
    SetError("", "");
    if (length >= static_cast<size_t>(INT_MAX))
        return FailedOutOfMemory();
    m_pstrXML = static_cast<char*>(std::malloc(length + 1));
    if (!m_pstrXML)
        return FailedOutOfMemory();
    std::memcpy(m_pstrXML, text, length);
    m_pstrXML[length] = '\0';
    return Parse();
}

bool CXmlDocument::LoadFromFile(const char* name, UIResourceSource& source)
{
    Release();
    SetError("", "");
    char* bytes = nullptr;
    unsigned size = 0;
    CResourceReader::Result result =
        CResourceReader::Read(source, name, CResourceReader::kMaxSkinSize, &bytes, &size);
    const char* message = nullptr;
    switch (result) {
    case CResourceReader::kOk:
        break;
    case CResourceReader::kOpenFailed: message = "Error opening file"; break;
    case CResourceReader::kEmpty: message = "File is empty"; break;
    case CResourceReader::kTooLarge: message = "File too large"; break;
    case CResourceReader::kReadFailed: message = "Could not read file"; break;
    case CResourceReader::kArchiveOpenFailed: message = "Error opening zip file"; break;
    case CResourceReader::kEntryNotFound: message = "Could not find ziped file"; break;
    case CResourceReader::kUnzipFailed: message = "Could not unzip file"; break;
    case CResourceReader::kNoMemory: return FailedOutOfMemory();
    }
    if (message)
        return Failed(message, "");
    bool ok = LoadFromUtf8(bytes, static_cast<int>(size));
    std::free(bytes);
    return ok;
}

#ifdef _WIN32
bool CXmlDocument::LoadFromResource(void* module, const char* name, const char* type)
{
    Release();
    SetError("", "");
    HMODULE instance = static_cast<HMODULE>(module);
    HRSRC resource = FindResourceA(instance, name, type);
    if (!resource)
        return Failed("Could not find resource", "");
    HGLOBAL loaded = LoadResource(instance, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return Failed("Could not load resource", "");
    return LoadFromUtf8(bytes, static_cast<int>(SizeofResource(instance, resource)));
}
#endif

// ---------------------------------------------------------------------------
// Access

CXmlNode CXmlDocument::GetRootElement()
{
    if (m_nElements < 2)
        return CXmlNode();
    return CXmlNode(this, 1);
}

// ---------------------------------------------------------------------------
// Errors

void CXmlDocument::SetError(const char* message, const char* location)
{
    std::strncpy(m_szErrorMsg, message, sizeof m_szErrorMsg - 1);
    m_szErrorMsg[sizeof m_szErrorMsg - 1] = '\0';
    // The location is cut after whole characters only.
    const char* end = location;
    while (*end) {
        const char* next = CUtf8::Next(end);
        if (next - location > static_cast<int>(sizeof m_szErrorXML) - 1)
            break;
        end = next;
    }
    std::memcpy(m_szErrorXML, location, end - location);
    m_szErrorXML[end - location] = '\0';
}

bool CXmlDocument::Failed(const char* message, const char* location)
{
    SetError(message, location);
    Release();
    return false;
}

bool CXmlDocument::FailedOutOfMemory()
{
    return Failed("Out of memory", "");
}

// ---------------------------------------------------------------------------
// Parsing

int CXmlDocument::ReserveElement()
{
    if (!MakeRoom(m_pElements, m_nElements, m_nReservedElements))
        return -1;
    XmlElement& element = m_pElements[m_nElements];
    std::memset(&element, 0, sizeof element);
    return m_nElements++;
}

bool CXmlDocument::Parse()
{
    m_nElements = 0;
    m_nAttributes = 0;
    if (ReserveElement() != 0) // the placeholder at index 0
        return FailedOutOfMemory();
    SetError("", "");
    char* p = m_pstrXML;
    return ParseItems(p);
}

// Inline: it is the inner loop of both callers, which pass their own `end`.
inline void CXmlDocument::ParseData(char*& p, char*& dest, char end)
{
    // Runs of plain text are found by their class and moved down as a
    // whole once decoding has shortened what came before them.
    const unsigned char stops = kText | (end == '<' ? kContentEnd : kValueEnd) | (m_bPreserveWhitespace ? 0 : kBlank);
    char* in = p;
    char* out = dest;
    for (;;) {
        char* run = in;
        in = SkipUntil(in, stops);
        if (out == run) {
            out = in;
        } else if (in - run <= 16) { // short runs are not worth a call
            while (run < in)
                *out++ = *run++;
        } else {
            std::memmove(out, run, in - run);
            out += in - run;
        }
        char c = *in;
        if (c == '\0' || c == end)
            break;
        if (c == '&') {
            ++in;
            *out++ = DecodeEntity(in);
        } else {
            *out++ = *in++; // a blank, whose whitespace collapses
            SkipWhitespace(in);
        }
    }
    for (char* fill = out; fill < in; ++fill)
        *fill = ' ';
    p = in;
    dest = out;
}

// Reads the items of the whole text. Elements nest through their parent
// links rather than through recursion, so that deeply nested input cannot
// exhaust the stack: `parent` is the element whose children are being read
// (0 at the top level) and `previous` the last element read at that level.
bool CXmlDocument::ParseItems(char*& p)
{
    int parent = 0;
    int previous = 0;
    SkipWhitespace(p);
    for (;;) {
        // The text may end inside the root element, but no deeper.
        if (*p == '\0' && parent <= 1) {
            TerminateOpenNames(parent);
            return true;
        }
        SkipWhitespace(p);
        if (*p != '<')
            return Failed("Expected start tag", p);

        if (p[1] == '/') {
            if (parent == 0)
                return true;
            // The end tag of `parent`: its name runs to the first byte that
            // no name holds (the byte behind it is terminated only now).
            char* name = m_pstrXML + m_pElements[parent].iStart;
            char* nameEnd = SkipName(name);
            *p = '\0';
            p += 2;
            SkipWhitespace(p);
            size_t nameLength = nameEnd - name;
            if (std::strncmp(p, name, nameLength) != 0)
                return Failed("Unmatched closing tag", p);
            p += nameLength;
            SkipWhitespace(p);
            if (*p != '>')
                return Failed("Unmatched closing tag", p);
            ++p;
            *nameEnd = '\0';
            SkipWhitespace(p);
            previous = parent;
            parent = m_pElements[parent].iParent;
            continue;
        }

        *p++ = '\0';
        SkipWhitespace(p);

        // Comments and declarations end at "->", processing instructions
        // at "?>"; nothing of them is kept.
        if (*p == '!' || *p == '?') {
            char close = *p == '!' ? '-' : '?';
            while (*p != '\0' && !(p[0] == close && p[1] == '>'))
                p = CUtf8::Next(p);
            if (*p != '\0')
                p += 2;
            SkipWhitespace(p);
            continue;
        }

        int index = ReserveElement();
        if (index < 0)
            return FailedOutOfMemory();
        XmlElement& element = m_pElements[index];
        element.iStart = static_cast<int>(p - m_pstrXML);
        element.iParent = parent;
        element.iAttribute = m_nAttributes;
        if (previous != 0)
            m_pElements[previous].iNext = index;
        else if (parent != 0)
            m_pElements[parent].iChild = index;
        previous = index;

        char* nameEnd = SkipName(p);
        p = nameEnd;
        if (*p == '\0')
            return Failed("Error parsing element name", p);
        if (!ParseAttributes(p, index))
            return false;
        SkipWhitespace(p);

        if (p[0] == '/' && p[1] == '>') {
            m_pElements[index].iData = static_cast<int>(p - m_pstrXML);
            *p = '\0';
            p += 2;
            *nameEnd = '\0';
            SkipWhitespace(p);
            continue;
        }
        if (*p != '>')
            return Failed("Expected start-tag closing", p);

        m_pElements[index].iData = static_cast<int>(++p - m_pstrXML);
        char* dest = p;
        ParseData(p, dest, '<');
        if (*p == '\0' && parent <= 1) {
            *dest = '\0';
            *nameEnd = '\0';
            TerminateOpenNames(parent);
            return true;
        }
        if (*p != '<')
            return Failed("Expected end-tag start", p);
        // Child elements or the end tag follow; the loop reads them with
        // this element as the parent. The content ends here: when decoding
        // shortened it, it is terminated now; otherwise the "<" ahead,
        // which is still needed, becomes its terminator later.
        if (dest < p)
            *dest = '\0';
        parent = index;
        previous = 0;
    }
}

// An element whose end tag never came has its name terminated here.
void CXmlDocument::TerminateOpenNames(int index)
{
    for (; index != 0; index = m_pElements[index].iParent)
        *SkipName(m_pstrXML + m_pElements[index].iStart) = '\0';
}

bool CXmlDocument::ParseAttributes(char*& p, int index)
{
    if (*p == '>' || *p == '/')
        return true;
    *p++ = '\0';
    SkipWhitespace(p);
    while (*p != '\0' && *p != '>' && *p != '/') {
        char* name = p;
        char* nameEnd = SkipName(p);
        p = nameEnd;
        SkipWhitespace(p);
        if (*p != '=')
            return Failed("Error while parsing attributes", p);
        *p++ = ' ';
        *nameEnd = '\0';
        SkipWhitespace(p);
        if (*p != '"')
            return Failed("Expected attribute value", p);
        ++p;
        if (!MakeRoom(m_pAttributes, m_nAttributes, m_nReservedAttributes))
            return FailedOutOfMemory();
        m_pAttributes[m_nAttributes].iName = static_cast<int>(name - m_pstrXML);
        m_pAttributes[m_nAttributes].iValue = static_cast<int>(p - m_pstrXML);
        ++m_nAttributes;
        ++m_pElements[index].nAttributes;
        char* dest = p;
        ParseData(p, dest, '"');
        if (*p == '\0')
            return Failed("Error while parsing attribute string", p);
        *dest = '\0';
        if (p != dest)
            *p = ' ';
        ++p;
        SkipWhitespace(p);
    }
    return true;
}

} // namespace ui
