#include "ui/base/XmlDocument.h"

#include <gtest/gtest.h>

#include <string>

using ui::CXmlDocument;
using ui::CXmlNode;

TEST(XmlNode, AttributesInOrder)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<Button name=\"btn\"  text = \"a b\"\tpos=\"\" >x</Button>"));
    CXmlNode node = doc.GetRootElement();
    ASSERT_EQ(3, node.GetAttributeCount());
    EXPECT_STREQ("name", node.GetAttributeName(0));
    EXPECT_STREQ("btn", node.GetAttributeValue(0));
    EXPECT_STREQ("text", node.GetAttributeName(1));
    EXPECT_STREQ("a b", node.GetAttributeValue(1));
    EXPECT_STREQ("pos", node.GetAttributeName(2));
    EXPECT_STREQ("", node.GetAttributeValue(2));
    EXPECT_STREQ("", node.GetAttributeName(3));
    EXPECT_STREQ("", node.GetAttributeValue(-1));
    EXPECT_STREQ("x", node.GetValue());
    EXPECT_TRUE(node.HasAttribute("pos"));
    EXPECT_FALSE(node.HasAttribute("Name")); // exact names
}

TEST(XmlNode, AttributesOfEveryTagForm)
{
    // Regression: the table scan used to run past the end of the text when an
    // element with attributes was the last thing in it.
    const char* inputs[] = {"<a k=\"v\">", "<a k=\"v\"/>", "<a k=\"v\" />", "<a k=\"v\"></a>",
                            "<a k=\"v&amp;\">", "<a k=\"v\">text"};
    for (const char* input : inputs) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromString(input)) << input;
        CXmlNode node = doc.GetRootElement();
        ASSERT_EQ(1, node.GetAttributeCount()) << input;
        EXPECT_STREQ("k", node.GetAttributeName(0)) << input;
        EXPECT_STREQ("a", node.GetName()) << input;
    }
}

TEST(XmlNode, OnlyTheFirst64AttributesAreSeen)
{
    std::string text = "<a";
    for (int i = 0; i < 70; ++i)
        text += " k" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    text += "/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(text.c_str()));
    CXmlNode node = doc.GetRootElement();
    EXPECT_EQ(64, node.GetAttributeCount());
    EXPECT_STREQ("63", node.GetAttributeValue("k63"));
    EXPECT_EQ(nullptr, node.GetAttributeValue("k64"));
}

TEST(XmlNode, ValueCopyIsLimitedToTheBuffer)
{
    std::string longValue(1000, 'v');
    std::string text = "<a big=\"" + longValue + "\" small=\"s\" cn=\"" + std::string(498, 'x') + "网\"/>";
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString(text.c_str()));
    CXmlNode node = doc.GetRootElement();
    EXPECT_EQ(longValue, node.GetAttributeValue("big"));

    char buffer[ui::CXmlNode::kValueBufferSize];
    ASSERT_TRUE(node.GetAttributeValue("big", buffer));
    EXPECT_EQ(std::string(499, 'v'), buffer);
    ASSERT_TRUE(node.GetAttributeValue("small", buffer));
    EXPECT_STREQ("s", buffer);
    // A character that would not fit whole is left out.
    ASSERT_TRUE(node.GetAttributeValue("cn", buffer));
    EXPECT_EQ(std::string(498, 'x'), buffer);
    EXPECT_FALSE(node.GetAttributeValue("none", buffer));
    EXPECT_STREQ("", buffer);
}

TEST(XmlNode, InvalidNodeAnswersNull)
{
    CXmlNode node;
    EXPECT_FALSE(node.IsValid());
    EXPECT_EQ(nullptr, node.GetName());
    EXPECT_EQ(nullptr, node.GetValue());
    EXPECT_EQ(nullptr, node.GetAttributeName(0));
    EXPECT_EQ(nullptr, node.GetAttributeValue(0));
    EXPECT_EQ(nullptr, node.GetAttributeValue("a"));
    EXPECT_EQ(0, node.GetAttributeCount());
    EXPECT_FALSE(node.HasChildren());
    EXPECT_FALSE(node.GetChild().IsValid());
    EXPECT_FALSE(node.GetSibling().IsValid());
    EXPECT_FALSE(node.GetParent().IsValid());

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromString("<a/>"));
    EXPECT_FALSE(CXmlNode(&doc, 2).IsValid());
    EXPECT_FALSE(CXmlNode(&doc, 0).IsValid());
}
