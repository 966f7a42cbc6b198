#pragma once

namespace ui {

class CXmlDocument;
struct XmlAttribute;

// A light handle on one element of a CXmlDocument, valid while the
// document lives and is not released. Names and values are pointers into
// the document's text.
class CXmlNode
{
public:
    enum { kMaxAttributes = 64, kValueBufferSize = 500 };

    CXmlNode();
    CXmlNode(CXmlDocument* document, int index);

    // True when the node refers to an element of a document.
    bool IsValid() const { return m_pOwner != nullptr; }

    // Null for an invalid node.
    const char* GetName() const;
    const char* GetValue() const;

    // Invalid nodes when there is no such element.
    CXmlNode GetChild() const;
    CXmlNode GetSibling() const;
    CXmlNode GetParent() const;
    bool HasChildren() const;

    // Only the first 64 attributes of an element are seen.
    int GetAttributeCount() const;
    // For `index` outside 0 … count - 1 the empty text; null for an invalid node.
    const char* GetAttributeName(int index) const;
    const char* GetAttributeValue(int index) const;
    // The value of the first attribute called `name`, or null.
    const char* GetAttributeValue(const char* name) const;
    bool HasAttribute(const char* name) const;
    // Copies the value of the first attribute called `name` into `buffer`
    // of `size` bytes (at most size - 1 bytes of it, whole characters) and
    // terminates it. False, with an empty buffer, when there is none.
    bool GetAttributeValue(const char* name, char* buffer, int size = kValueBufferSize) const;

private:
    // The element's attribute `index`, which must be below the count.
    const XmlAttribute& Attribute(int index) const;

    int m_iPos;
    CXmlDocument* m_pOwner;
};

} // namespace ui
