#include "ui/base/XmlNode.h"

#include "ui/base/AnsiCodePage.h"
#include "ui/base/XmlDocument.h"

#include <cstring>

namespace ui {

CXmlNode::CXmlNode() : m_iPos(0), m_nAttributes(kNotMapped), m_pOwner(nullptr)
{
}

CXmlNode::CXmlNode(CXmlDocument* document, int index) : m_iPos(index), m_nAttributes(kNotMapped), m_pOwner(nullptr)
{
    if (document && document->GetElement(index))
        m_pOwner = document;
    else
        m_iPos = 0;
}

CXmlNode::CXmlNode(const CXmlNode& other) : m_iPos(0), m_nAttributes(kNotMapped), m_pOwner(nullptr)
{
    *this = other;
}

CXmlNode& CXmlNode::operator=(const CXmlNode& other)
{
    if (this == &other)
        return *this;
    m_iPos = other.m_iPos;
    m_nAttributes = other.m_nAttributes;
    if (m_nAttributes > 0)
        std::memcpy(m_aAttributes, other.m_aAttributes, m_nAttributes * sizeof m_aAttributes[0]);
    m_pOwner = other.m_pOwner;
    return *this;
}

const char* CXmlNode::GetName() const
{
    if (!m_pOwner)
        return nullptr;
    return m_pOwner->GetText() + m_pOwner->GetElement(m_iPos)->iStart;
}

const char* CXmlNode::GetValue() const
{
    if (!m_pOwner)
        return nullptr;
    return m_pOwner->GetText() + m_pOwner->GetElement(m_iPos)->iData;
}

CXmlNode CXmlNode::GetChild() const
{
    if (!m_pOwner)
        return CXmlNode();
    return CXmlNode(m_pOwner, m_pOwner->GetElement(m_iPos)->iChild);
}

CXmlNode CXmlNode::GetSibling() const
{
    if (!m_pOwner)
        return CXmlNode();
    return CXmlNode(m_pOwner, m_pOwner->GetElement(m_iPos)->iNext);
}

CXmlNode CXmlNode::GetParent() const
{
    if (!m_pOwner)
        return CXmlNode();
    return CXmlNode(m_pOwner, m_pOwner->GetElement(m_iPos)->iParent);
}

bool CXmlNode::HasChildren() const
{
    return m_pOwner && m_pOwner->GetElement(m_iPos)->iChild != 0;
}

int CXmlNode::GetAttributeCount() const
{
    if (!m_pOwner)
        return 0;
    if (m_nAttributes == kNotMapped)
        MapAttributes();
    return m_nAttributes;
}

const char* CXmlNode::GetAttributeName(int index) const
{
    if (!m_pOwner)
        return nullptr;
    if (index < 0 || index >= GetAttributeCount())
        return "";
    return m_pOwner->GetText() + m_aAttributes[index].iName;
}

const char* CXmlNode::GetAttributeValue(int index) const
{
    if (!m_pOwner)
        return nullptr;
    if (index < 0 || index >= GetAttributeCount())
        return "";
    return m_pOwner->GetText() + m_aAttributes[index].iValue;
}

const char* CXmlNode::GetAttributeValue(const char* name) const
{
    if (!m_pOwner || !name)
        return nullptr;
    int count = GetAttributeCount();
    const char* text = m_pOwner->GetText();
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(text + m_aAttributes[i].iName, name) == 0)
            return text + m_aAttributes[i].iValue;
    }
    return nullptr;
}

bool CXmlNode::HasAttribute(const char* name) const
{
    return GetAttributeValue(name) != nullptr;
}

bool CXmlNode::GetAttributeValue(const char* name, char* buffer, int size) const
{
    if (!buffer || size <= 0)
        return false;
    buffer[0] = '\0';
    const char* value = GetAttributeValue(name);
    if (!value)
        return false;
    const char* end = value;
    while (*end) {
        const char* next = CAnsiCodePage::Next(end);
        if (next - value > size - 1)
            break;
        end = next;
    }
    std::memcpy(buffer, value, end - value);
    buffer[end - value] = '\0';
    return true;
}

// The start tag after parsing is a run of NUL-terminated texts: the element
// name, then for each attribute its name, blanks and the former "=", and
// its value behind the former opening quote. The value offset of the
// element lies behind all of them.
void CXmlNode::MapAttributes() const
{
    m_nAttributes = 0;
    const XmlElement* element = m_pOwner->GetElement(m_iPos);
    const char* text = m_pOwner->GetText();
    const char* p = text + element->iStart;
    const char* end = text + element->iData;
    p += std::strlen(p) + 1;
    while (p < end && m_nAttributes < kMaxAttributes) {
        while (p < end && static_cast<unsigned char>(*p) >= 1 && static_cast<unsigned char>(*p) <= 32)
            ++p;
        if (p >= end)
            return;
        const char* name = p;
        p += std::strlen(p);
        // A real name ends inside the tag; a text that runs on is the ">"
        // before the content.
        if (p >= end)
            return;
        ++p;
        while (static_cast<unsigned char>(*p) >= 1 && static_cast<unsigned char>(*p) <= 32)
            ++p;
        if (p >= end || *p != '"')
            return;
        ++p;
        m_aAttributes[m_nAttributes].iName = static_cast<int>(name - text);
        m_aAttributes[m_nAttributes].iValue = static_cast<int>(p - text);
        ++m_nAttributes;
        p += std::strlen(p) + 1;
    }
}

} // namespace ui
