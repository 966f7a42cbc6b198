// Bad and extreme input: every failure must be a clean false, never a read
// outside the text (the native tree runs these under AddressSanitizer).
#include "ui/base/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

const char kSample[] =
    "<?xml version=\"1.0\"?><!-- head -->"
    "<Window size=\"380,300\" caption=\"0,0,0,30\">"
    "<Font name=\"宋体\" size=\"12\"/>"
    "<Default name=\"Button\" value=\"normalimage=&quot;res='1'&quot;\" />"
    "<VerticalLayout><!-- 中文 -->"
    "<Label name=\"lbl\" text=\"a &amp; b\">content &lt;x&gt;</Label>"
    "<Control></Control><Control /><Control/>"
    "<HorizontalLayout><Button text=\"网吧\"/></HorizontalLayout>"
    "</VerticalLayout></Window>";

// Touches every name, value and attribute so that a bad offset shows.
size_t Walk(CXmlNode node)
{
    size_t total = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        total += std::strlen(node.GetName()) + std::strlen(node.GetValue());
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            total += std::strlen(node.GetAttributeName(i)) + std::strlen(node.GetAttributeValue(i));
        total += Walk(node.GetChild());
    }
    return total;
}

} // namespace

TEST(XmlDocumentLimits, EveryTruncationFailsCleanly)
{
    ASSERT_TRUE(CXmlDocument().LoadFromString(kSample));
    const size_t length = std::strlen(kSample);
    for (size_t n = 0; n <= length; ++n) {
        // An exact-size heap copy, so that a read past the end is caught.
        std::vector<char> prefix(kSample, kSample + n);
        prefix.push_back('\0');
        CXmlDocument doc;
        if (doc.LoadFromString(prefix.data()))
            Walk(doc.GetRootElement());
        else
            EXPECT_EQ(0, doc.GetElementCount());
        CXmlDocument utf8;
        if (utf8.LoadFromUtf8(prefix.data(), static_cast<int>(n)))
            Walk(utf8.GetRootElement());
    }
}

TEST(XmlDocumentLimits, MutatedInputNeverCrashes)
{
    const size_t length = std::strlen(kSample);
    const char bytes[] = {'<', '>', '/', '"', '=', '&', '!', '?', '-', ' ', '\0', 'a', '\xB0', '\xFF'};
    unsigned seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string text(kSample);
        for (int k = 0; k < 3; ++k) {
            seed = seed * 1103515245u + 12345u;
            size_t at = (seed >> 8) % length;
            seed = seed * 1103515245u + 12345u;
            text[at] = bytes[(seed >> 8) % sizeof bytes];
        }
        std::vector<char> copy(text.begin(), text.end());
        copy.push_back('\0');
        CXmlDocument doc;
        if (doc.LoadFromString(copy.data()))
            Walk(doc.GetRootElement());
    }
}

TEST(XmlDocumentLimits, CharacterCutShortEndsBeforeTheDelimiter)
{
    // A lead byte of code page 936 took the quote or bracket behind it as
    // its second half; a UTF-8 character cut short leaves it to the markup.
    struct Row
    {
        const char* input;
        const char* value; // of attribute b, or else the content
    };
    const Row rows[] = {
        { "<a b=\"\xE5\"/>", "\xE5" },
        { "<a b=\"\xF0\x9F\x98\"/>", "\xF0\x9F\x98" },
        { "<a>\xE5\xBE</a>", "\xE5\xBE" },
        { "<a>\xE5<b/></a>", "\xE5" },
        { "<!--\xE5--><a>\xB0</a>", "\xB0" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.input);
        std::vector<char> copy(row.input, row.input + std::strlen(row.input) + 1);
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromString(copy.data())) << doc.GetErrorText();
        CXmlNode root = doc.GetRootElement();
        const char* value = root.GetAttributeCount() > 0 ? root.GetAttributeValue("b") : root.GetValue();
        EXPECT_STREQ(row.value, value);
    }
    const char* unclosed[] = { "<a>\xB0", "<a b=\"\xB0", "<!--\xB0", "<a>\xB0<" };
    for (const char* input : unclosed) {
        std::vector<char> copy(input, input + std::strlen(input) + 1);
        CXmlDocument doc;
        if (doc.LoadFromString(copy.data()))
            Walk(doc.GetRootElement());
    }
}

TEST(XmlDocumentLimits, TenThousandDeepNesting)
{
    const int depth = 10000;
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(text.c_str())) << doc.GetErrorText();
    int levels = 0;
    CXmlNode node = doc.GetRootElement();
    for (; node.GetChild().IsValid(); node = node.GetChild())
        ++levels;
    EXPECT_EQ(depth - 1, levels);
    EXPECT_STREQ("a", node.GetName());

    // Left open, the innermost element is far below the root.
    EXPECT_FALSE(doc.LoadFromString(text.substr(0, depth * 3).c_str()));
    EXPECT_STREQ("Expected end-tag start", doc.GetErrorText());
}

TEST(XmlDocumentLimits, FourMegabyteDocument)
{
    std::string text = "<Window>";
    int items = 0;
    while (text.size() < 4u * 1024 * 1024 - 100) {
        text += "<Button name=\"b" + std::to_string(items++) + "\" text=\"网吧&amp;\" pos=\"1,2,3,4\"/>";
    }
    text += "</Window>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(text.c_str()));
    EXPECT_EQ(items + 2, doc.GetElementCount());
    CXmlNode first = doc.GetRootElement().GetChild();
    EXPECT_STREQ("网吧&", first.GetAttributeValue("text"));
}
