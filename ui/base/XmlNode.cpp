#include "ui/base/XmlNode.h"

#include "ui/base/Utf8.h"
#include "ui/base/XmlDocument.h"

#include <cstring>

namespace ui {

CXmlNode::CXmlNode() : m_iPos(0), m_pOwner(nullptr)
{
}

CXmlNode::CXmlNode(CXmlDocument* document, int index) : m_iPos(index), m_pOwner(nullptr)
{
    if (document && document->GetElement(index))
        m_pOwner = document;
    else
        m_iPos = 0;
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
    int count = m_pOwner->GetElement(m_iPos)->nAttributes;
    return count < kMaxAttributes ? count : kMaxAttributes;
}

const XmlAttribute& CXmlNode::Attribute(int index) const
{
    return m_pOwner->GetAttributes()[m_pOwner->GetElement(m_iPos)->iAttribute + index];
}

const char* CXmlNode::GetAttributeName(int index) const
{
    if (!m_pOwner)
        return nullptr;
    if (index < 0 || index >= GetAttributeCount())
        return "";
    return m_pOwner->GetText() + Attribute(index).iName;
}

const char* CXmlNode::GetAttributeValue(int index) const
{
    if (!m_pOwner)
        return nullptr;
    if (index < 0 || index >= GetAttributeCount())
        return "";
    return m_pOwner->GetText() + Attribute(index).iValue;
}

const char* CXmlNode::GetAttributeValue(const char* name) const
{
    if (!m_pOwner || !name)
        return nullptr;
    int count = GetAttributeCount();
    const char* text = m_pOwner->GetText();
    for (int i = 0; i < count; ++i) {
        const XmlAttribute& attribute = Attribute(i);
        if (std::strcmp(text + attribute.iName, name) == 0)
            return text + attribute.iValue;
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
        const char* next = CUtf8::Next(end);
        if (next - value > size - 1)
            break;
        end = next;
    }
    std::memcpy(buffer, value, end - value);
    buffer[end - value] = '\0';
    return true;
}

} // namespace ui
