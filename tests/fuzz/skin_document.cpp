// Skin files as the skin builder loads them: UTF-8 bytes of the file's size
// parsed in place, then the tree walked as the builder reads it:
// depth-first, each element's name, every attribute by index, the lookups
// by name it makes, and the children, down to the builder's nesting limit.

#include <cstdint>
#include <cstring>

#include "ui/base/AttributeValue.h"
#include "ui/base/ResourceReader.h"
#include "ui/base/XmlDocument.h"
#include "ui/base/XmlNode.h"

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

// The skin builder's limit on the nesting of controls.
const int kMaxNesting = 200;

volatile unsigned g_sink;

void Use(const char* text)
{
    if (text != nullptr)
        g_sink = g_sink + static_cast<unsigned>(std::strlen(text));
}

void Walk(const CXmlNode& node, int nesting)
{
    if (nesting >= kMaxNesting)
        return;
    for (CXmlNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) {
        Use(child.GetName());
        Use(child.GetValue());
        const int count = child.GetAttributeCount();
        for (int i = 0; i < count; ++i) {
            const char* name = child.GetAttributeName(i);
            const char* value = child.GetAttributeValue(i);
            Use(name);
            Use(value);
            // What the builder and the controls read out of values.
            g_sink = g_sink + static_cast<unsigned>(ui::ReadIntValue(value)) + ui::ReadColorValue(value, true);
            // The first attribute of that name, looked up as includes do.
            char buffer[CXmlNode::kValueBufferSize];
            if (child.GetAttributeValue(name, buffer))
                Use(buffer);
            g_sink = g_sink + static_cast<unsigned>(child.HasAttribute(name));
        }
        // Indexes past the end read as empty texts.
        Use(child.GetAttributeName(count));
        Use(child.GetAttributeValue(count));
        char buffer[CXmlNode::kValueBufferSize];
        child.GetAttributeValue("count", buffer);
        child.GetAttributeValue("source", buffer);
        g_sink = g_sink + static_cast<unsigned>(child.GetParent().IsValid());
        if (child.HasChildren())
            Walk(child, nesting + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > ui::CResourceReader::kMaxSkinSize)
        return 0;
    CXmlDocument document(true);
    if (!document.LoadFromUtf8(data, static_cast<int>(size))) {
        Use(document.GetErrorText());
        Use(document.GetErrorContext());
        return 0;
    }
    CXmlNode root = document.GetRootElement();
    if (!root.IsValid())
        return 0;
    Use(root.GetName());
    const int count = root.GetAttributeCount();
    for (int i = 0; i < count; ++i) {
        Use(root.GetAttributeName(i));
        Use(root.GetAttributeValue(i));
    }
    Walk(root, 0);
    return 0;
}
