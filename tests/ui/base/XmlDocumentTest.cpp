#include "ui/base/XmlDocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

// The shape of the program's skins: byte-order mark, declaration, defaults
// carrying whole attribute strings, comments, Chinese text.
const char kSkin[] =
    u8"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
    u8"<Window size=\"380,300\" caption=\"0,0,0,30\" roundcorner=\"4,4\">\n"
    u8"  <Font name=\"微软雅黑\" size=\"12\" bold=\"false\" default=\"true\" />\n"
    u8"  <Default name=\"Button\" value=\"normalimage=&quot;res='118' restype='png' "
    u8"source='0,0,100,22'&quot; hotimage=&quot;file='a.png'&quot;\" />\n"
    u8"  <VerticalLayout bkcolor=\"#FF4775CC\">\n"
    u8"    <!-- LOGO和其他工具 -->\n"
    u8"    <Label name=\"lbl_tip\" text=\"获取验证码\" />\n"
    u8"    <Control></Control>\n"
    u8"    <Control />\n"
    u8"    <Control/>\n"
    u8"  </VerticalLayout>\n"
    u8"</Window>\n";

int CountElements(CXmlNode node)
{
    int count = 0;
    for (; node.IsValid(); node = node.GetSibling())
        count += 1 + CountElements(node.GetChild());
    return count;
}

} // namespace

TEST(XmlDocument, SkinWithMarkAndDeclarationLoads)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromUtf8(kSkin, sizeof kSkin - 1)) << doc.GetErrorText();
    EXPECT_STREQ("", doc.GetErrorText());
    CXmlNode root = doc.GetRootElement();
    ASSERT_TRUE(root.IsValid());
    EXPECT_STREQ("Window", root.GetName());
    EXPECT_FALSE(root.GetParent().IsValid());
    EXPECT_FALSE(root.GetSibling().IsValid());
    EXPECT_EQ(8, CountElements(root));

    CXmlNode font = root.GetChild();
    EXPECT_STREQ("Font", font.GetName());
    EXPECT_STREQ("微软雅黑", font.GetAttributeValue("name"));

    CXmlNode def = font.GetSibling();
    EXPECT_STREQ("normalimage=\"res='118' restype='png' source='0,0,100,22'\" hotimage=\"file='a.png'\"",
                 def.GetAttributeValue("value"));

    CXmlNode layout = def.GetSibling();
    EXPECT_STREQ("VerticalLayout", layout.GetName());
    EXPECT_EQ(root.GetName(), layout.GetParent().GetName());
    CXmlNode label = layout.GetChild(); // the comment left no trace
    EXPECT_STREQ("Label", label.GetName());
    EXPECT_STREQ("获取验证码", label.GetAttributeValue("text"));

    // The three ways of writing an empty element give the same thing.
    for (CXmlNode c = label.GetSibling(); c.IsValid(); c = c.GetSibling()) {
        EXPECT_STREQ("Control", c.GetName());
        EXPECT_STREQ("", c.GetValue());
        EXPECT_EQ(0, c.GetAttributeCount());
        EXPECT_FALSE(c.HasChildren());
    }
}

TEST(XmlDocument, ParsesInPlace)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<a x=\"1&amp;2\">one &lt;two&gt; &quot;&apos;</a>"));
    const char* text = doc.GetText();
    CXmlNode a = doc.GetRootElement();
    // Names and values point into the document's own buffer, decoded where they stood.
    EXPECT_EQ(text + 1, a.GetName());
    EXPECT_STREQ("1&2", a.GetAttributeValue("x"));
    EXPECT_EQ(text + 6, a.GetAttributeValue("x"));
    EXPECT_STREQ("one <two> \"'", a.GetValue());
    EXPECT_EQ(text + 15, a.GetValue());
}

TEST(XmlDocument, ContentAndValueDecoding)
{
    struct Row
    {
        const char* input;
        const char* value;
    };
    const Row rows[] = {
        {"<a>&amp;&amp;&lt;&gt;</a>", "&&<>"},
        {"<a>&unknown; & &amp</a>", "&unknown; & &amp"},
        {"<a>two  spaces\t\ttabs</a>", "two  spaces\t\ttabs"},
        {"<a>'single'</a>", "'single'"},
        {"<a>网吧&amp;</a>", "网吧&"},
        {"<a></a>", ""},
    };
    for (const Row& row : rows) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromString(row.input)) << row.input;
        EXPECT_STREQ(row.value, doc.GetRootElement().GetValue()) << row.input;
    }
}

TEST(XmlDocument, WhitespaceRunsCollapseWhenNotPreserved)
{
    CXmlDocument doc(false);
    ASSERT_TRUE(doc.LoadFromString("<a v=\"x   y\">p \t\n q</a>"));
    EXPECT_STREQ("x y", doc.GetRootElement().GetAttributeValue("v"));
    EXPECT_STREQ("p q", doc.GetRootElement().GetValue());
}

TEST(XmlDocument, ErrorTextsAndLocations)
{
    struct Row
    {
        const char* input;
        const char* error;   // empty: loads
        const char* context; // null: not checked
    };
    const Row rows[] = {
        {"x", "Expected start tag", "x"},
        {"<a/>junk", "Expected start tag", "junk"},
        {"<a><b/>tail</a>", "Expected start tag", "tail</a>"},
        {"<a><b><c/>", "Expected start tag", ""},
        {"<abc", "Error parsing element name", ""},
        {"<a b=\"1\"", "Expected start-tag closing", ""},
        {"<a b=\"1\" / >", "Expected start-tag closing", "/ >"},
        {"<a><b><c>", "Expected end-tag start", ""},
        {"<a><b><c>text", "Expected end-tag start", ""},
        {"<a></b>", "Unmatched closing tag", "b>"},
        {"<ab></abc>", "Unmatched closing tag", "c>"},
        {"<a><b></a></b>", "Unmatched closing tag", "a></b>"},
        {"<a></a", "Unmatched closing tag", ""},
        {"<a b-c=\"1\"/>", "Error while parsing attributes", "-c=\"1\"/>"},
        {"<a x>", "Error while parsing attributes", ">"},
        {"<a $=\"1\">", "Error while parsing attributes", "$=\"1\">"},
        {"<a b='1'/>", "Expected attribute value", "'1'/>"},
        {"<a b=", "Expected attribute value", ""},
        {"<a b=\"1/>", "Error while parsing attribute string", ""},
        {"<a b=\"xyz", "Error while parsing attribute string", ""},
        // Accepted forms.
        {"", "", nullptr},
        {"  \r\n ", "", nullptr},
        {"<a>", "", nullptr},
        {"<a><b>", "", nullptr},
        {"<a><b>text", "", nullptr},
        {"<a><!-- open", "", nullptr},
        {"<!-- open", "", nullptr},
        {"<a/></b>", "", nullptr},
        {"<a><!-- a -> b --></a>", "Expected start tag", "b --></a>"},
        {"<a><? pi ?></a>", "", nullptr},
    };
    for (const Row& row : rows) {
        CXmlDocument doc;
        bool expected = row.error[0] == '\0';
        EXPECT_EQ(expected, doc.LoadFromString(row.input)) << row.input;
        EXPECT_STREQ(row.error, doc.GetErrorText()) << row.input;
        if (row.context) {
            EXPECT_STREQ(row.context, doc.GetErrorContext()) << row.input;
        }
        if (!expected) {
            EXPECT_EQ(0, doc.GetElementCount()) << row.input;
            EXPECT_EQ(nullptr, doc.GetText()) << row.input;
            EXPECT_FALSE(doc.GetRootElement().IsValid()) << row.input;
        }
    }
}

TEST(XmlDocument, UnclosedElementsKeepTheirNames)
{
    // The root, and a child of the root, may be left open at the end of the text.
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<Window><VerticalLayout>"));
    EXPECT_STREQ("Window", doc.GetRootElement().GetName());
    EXPECT_STREQ("VerticalLayout", doc.GetRootElement().GetChild().GetName());
    ASSERT_TRUE(doc.LoadFromString("<Window>"));
    EXPECT_STREQ("Window", doc.GetRootElement().GetName());
}

TEST(XmlDocument, EmptyTextHasNoRoot)
{
    CXmlDocument doc;
    EXPECT_TRUE(doc.LoadFromString(""));
    EXPECT_FALSE(doc.GetRootElement().IsValid());
    EXPECT_TRUE(doc.LoadFromUtf8("\xEF\xBB\xBF", 3));
    EXPECT_FALSE(doc.GetRootElement().IsValid());
    EXPECT_TRUE(doc.LoadFromUtf8(nullptr, 0));
}

TEST(XmlDocument, SkinOfMostlyChineseTextLoadsWhole)
{
    // Converted to the ANSI code page, such a skin came out empty under
    // code page 65001: the conversion allowed two bytes per character.
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "网吧专用";
    std::string skin = "\xEF\xBB\xBF<W t=\"" + text + "\">" + text + "</W>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromUtf8(skin.data(), static_cast<int>(skin.size())));
    EXPECT_EQ(text, doc.GetRootElement().GetAttributeValue("t"));
    EXPECT_EQ(text, doc.GetRootElement().GetValue());
}

TEST(XmlDocument, LongErrorContextIsCut)
{
    std::string text = "<a><b/>" + std::string(200, 'z');
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromString(text.c_str()));
    EXPECT_EQ(std::string(49, 'z'), doc.GetErrorContext());
}

TEST(XmlDocument, FailedLoadReleasesAndNextLoadClearsTheError)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<a/>"));
    EXPECT_FALSE(doc.LoadFromString("<a></b>"));
    EXPECT_FALSE(doc.GetRootElement().IsValid());
    EXPECT_STREQ("Unmatched closing tag", doc.GetErrorText());
    EXPECT_TRUE(doc.LoadFromString("<a/>"));
    EXPECT_STREQ("", doc.GetErrorText());
    EXPECT_STREQ("", doc.GetErrorContext());
    doc.Release();
    EXPECT_FALSE(doc.GetRootElement().IsValid());
}

TEST(XmlDocument, SeveralTopLevelElementsAreSiblings)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<a/> <b>x</b> <c><d/></c>"));
    CXmlNode a = doc.GetRootElement();
    EXPECT_STREQ("b", a.GetSibling().GetName());
    EXPECT_STREQ("c", a.GetSibling().GetSibling().GetName());
    EXPECT_STREQ("d", a.GetSibling().GetSibling().GetChild().GetName());
    EXPECT_STREQ("c", a.GetSibling().GetSibling().GetChild().GetParent().GetName());
}

TEST(XmlDocument, ElementArrayGrowsPast500)
{
    std::string text = "<r>";
    for (int i = 0; i < 3000; ++i)
        text += "<i n=\"" + std::to_string(i) + "\"/>";
    text += "</r>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(text.c_str()));
    EXPECT_EQ(3002, doc.GetElementCount()); // with the placeholder
    CXmlNode last = doc.GetRootElement().GetChild();
    for (int i = 0; i < 2999; ++i)
        last = last.GetSibling();
    EXPECT_STREQ("2999", last.GetAttributeValue("n"));
}

#ifdef _WIN32
#include <windows.h>

TEST(XmlDocument, LoadsASkinResource)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromResource(GetModuleHandleA(NULL), MAKEINTRESOURCEA(101), "xml"))
        << doc.GetErrorText();
    EXPECT_STREQ("Window", doc.GetRootElement().GetName());
    EXPECT_STREQ("获取验证码", doc.GetRootElement().GetChild().GetAttributeValue("text"));

    EXPECT_FALSE(doc.LoadFromResource(GetModuleHandleA(NULL), MAKEINTRESOURCEA(999), "xml"));
    EXPECT_STREQ("Could not find resource", doc.GetErrorText());
    EXPECT_FALSE(doc.GetRootElement().IsValid());
}
#endif
