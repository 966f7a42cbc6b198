#pragma once

#include <cstddef>

#include "ui/base/UIResourceSource.h"
#include "ui/base/XmlNode.h"

namespace ui {

// One element of a parsed document. Indexes refer to the document's
// element array; 0 means none (index 0 is a placeholder, the root is 1).
struct XmlElement
{
    int iStart;  // offset of the name in the text
    int iChild;  // first child
    int iNext;   // next sibling
    int iParent; // parent, 0 at the top level
    int iData;   // offset of the decoded content
    int iAttribute;  // its first attribute in the document's attribute array
    int nAttributes; // how many follow it there
};

// One attribute: the offsets of its name and its decoded value in the text.
struct XmlAttribute
{
    int iName;
    int iValue;
};

// An XML document read in one pass and kept in one buffer that parsing
// modifies in place: names and values are terminated where they stand and
// entity references are replaced by their characters, so that nodes hand
// out pointers into the buffer. Accepts the subset of XML that skins use.
class CXmlDocument
{
public:
    // `preserveWhitespace` keeps runs of whitespace in values as they are;
    // clear, a space swallows the whitespace after it.
    explicit CXmlDocument(bool preserveWhitespace = true);
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // Parses a copy of `text`.
    bool LoadFromString(const char* text);
    // Parses a copy of `size` bytes of UTF-8, after a byte-order mark if
    // they begin with one.
    bool LoadFromUtf8(const void* bytes, int size);
    // Reads `name` from the source's folder, or its archive when it names
    // one, as LoadFromUtf8. Files over 4 MiB are refused.
    bool LoadFromFile(const char* name, UIResourceSource& source);
#ifdef _WIN32
    // Reads resource `name` of `type` from `module` (an HMODULE) as LoadFromUtf8.
    bool LoadFromResource(void* module, const char* name, const char* type);
#endif

    // Frees the text and the elements.
    void Release();

    // The first top-level element; invalid when there is none.
    CXmlNode GetRootElement();

    // The message and source text of the last failure; empty after success.
    const char* GetErrorText() const { return m_szErrorMsg; }
    const char* GetErrorContext() const { return m_szErrorXML; }

    // Read access for CXmlNode.
    int GetElementCount() const { return m_nElements; }
    const XmlElement* GetElement(int index) const
    {
        return index > 0 && index < m_nElements ? &m_pElements[index] : nullptr;
    }
    char* GetText() const { return m_pstrXML; }
    // The attributes of all elements in document order; an element's
    // iAttribute and nAttributes select its own.
    const XmlAttribute* GetAttributes() const { return m_pAttributes; }

private:
    bool ParseCopy(const char* text, size_t length);
    bool Parse();
    bool ParseItems(char*& p);
    // Reads the attributes of element `index` and records them.
    bool ParseAttributes(char*& p, int index);
    void TerminateOpenNames(int index);
    // Decodes a value in place up to NUL or `end` ('<' for content, '"'
    // for an attribute value); `dest` is left at the position where the
    // caller writes the terminating NUL.
    void ParseData(char*& p, char*& dest, char end);
    int ReserveElement();
    bool Failed(const char* message, const char* location);
    bool FailedOutOfMemory();
    void SetError(const char* message, const char* location);

    char* m_pstrXML;
    XmlElement* m_pElements;
    int m_nElements;
    int m_nReservedElements;
    XmlAttribute* m_pAttributes;
    int m_nAttributes;
    int m_nReservedAttributes;
    char m_szErrorMsg[100];
    char m_szErrorXML[50];
    bool m_bPreserveWhitespace;
};

} // namespace ui
