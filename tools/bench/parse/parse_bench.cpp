// Parse speed of CXmlDocument against pugixml on three generated 4 MiB
// documents: a skin, the main skin repeated inside one root, and a document
// heavy in attributes and entities. Both sides read every element name,
// content, attribute name and value after parsing.
//
// Two figures per document, each pugixml's time divided by ours (above 1:
// we are faster), taken per round from the best of five interleaved runs
// of each side, over several rounds, min and median printed:
//   parse      both sides parse the same text (the UTF-8 after its
//              byte-order mark);
//   load path  pugixml parses the UTF-8 as it is, we run LoadFromUtf8,
//              which skips the mark and copies the text before parsing.
// Before timing, the trees are compared: ours from the text and ours from
// LoadFromUtf8 with pugixml's from the same bytes.
//
// Standard output holds only markdown table rows
//   | figure | min | median | budget | holds |
// details go to standard error. Exit status 1 when the trees differ.
//   parse_bench [rounds]
#include "ui/base/XmlDocument.h"
#include "ui/base/XmlNode.h"

#include <pugixml.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

const size_t kDocumentSize = 4 * 1024 * 1024;
const int kRunsPerRound = 5;

// ---------------------------------------------------------------------------
// Documents (UTF-8, deterministic)

// A small linear congruential generator, so that every run builds the same text.
class Random
{
public:
    unsigned Next(unsigned bound)
    {
        m_state = m_state * 1103515245u + 12345u;
        return (m_state >> 16) % bound;
    }

private:
    unsigned m_state = 20240601u;
};

const char* const kTexts[] = {u8"获取验证码", u8"网吧专用", u8"最小化", u8"关闭", u8"软件版本：1.0.0.1",
                              "OK", "Cancel", u8"请点击下方按钮来获取验证码", "Wavorin"};
const char* const kImages[] = {"res='103' restype='png'", "res='118' restype='png' source='0,0,100,22'",
                               "file='btn.png' corner='2,2,20,2'"};

std::string Pick(Random& random, const char* const* items, size_t count)
{
    return items[random.Next(static_cast<unsigned>(count))];
}

template <size_t N>
std::string Pick(Random& random, const char* const (&items)[N])
{
    return Pick(random, items, N);
}

void EmitControl(Random& random, std::string& out, const std::string& indent, int id)
{
    std::string name = std::to_string(id);
    switch (random.Next(5)) {
    case 0:
        out += indent + "<Control />\n";
        break;
    case 1:
        out += indent + "<Label name=\"lbl_" + name + "\" text=\"" + Pick(random, kTexts)
            + "\" textcolor=\"#FFFFFFFF\" font=\"" + std::to_string(random.Next(4)) + "\" padding=\"10,0,0,10\" />\n";
        break;
    case 2:
        out += indent + "<Button name=\"btn_" + name + "\" text=\"" + Pick(random, kTexts) + "\" tooltip=\"click &lt;"
            + name + "&gt;\" width=\"" + std::to_string(20 + random.Next(200)) + "\" normalimage=\""
            + Pick(random, kImages) + "\" hotimage=\"" + Pick(random, kImages) + "\" />\n";
        break;
    case 3:
        out += indent + "<Text name=\"txt_" + name + "\" showhtml=\"true\">{f 0}" + Pick(random, kTexts)
            + " &amp; " + name + "{/f}</Text>\n";
        break;
    default:
        out += indent + "<Edit name=\"edit_" + name + "\" bkcolor=\"#FF4775CC\" maxchar=\"6\"></Edit>\n";
        break;
    }
}

void EmitLayout(Random& random, std::string& out, const std::string& indent, int depth, int& id)
{
    const char* kind = random.Next(2) ? "VerticalLayout" : "HorizontalLayout";
    int my = id++;
    out += indent + "<" + kind + " name=\"lay_" + std::to_string(my) + "\" height=\"" + std::to_string(random.Next(300))
        + "\" bkcolor=\"#FF" + std::to_string(100000 + random.Next(800000)) + "\">\n";
    if (random.Next(3) == 0)
        out += indent + u8"  <!-- 面板 " + std::to_string(my) + " -->\n";
    int children = 1 + random.Next(6);
    for (int i = 0; i < children; ++i) {
        if (depth < 5 && random.Next(4) == 0)
            EmitLayout(random, out, indent + "  ", depth + 1, id);
        else
            EmitControl(random, out, indent + "  ", id++);
    }
    out += indent + "</" + kind + ">\n";
}

std::string GeneratedSkin()
{
    Random random;
    std::string out = u8"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      u8"<Window size=\"800,600\" caption=\"0,0,0,30\" roundcorner=\"4,4\">\n"
                      u8"  <Font name=\"微软雅黑\" size=\"12\" bold=\"false\" default=\"true\" />\n"
                      u8"  <Default name=\"Button\" value=\"normalimage=&quot;res='118' restype='png' "
                      u8"source='0,0,100,22' corner='2,2,20,2'&quot;\" />\n";
    int id = 0;
    while (out.size() < kDocumentSize)
        EmitLayout(random, out, "  ", 0, id);
    return out + "</Window>\n";
}

std::string MainSkinRepeated()
{
    std::ifstream file(WAVORIN_MAIN_SKIN, std::ios::binary);
    std::stringstream read;
    read << file.rdbuf();
    std::string skin = read.str();
    // Without its mark and declaration the skin is one element.
    size_t start = skin.find("<Window");
    if (start == std::string::npos)
        return std::string();
    skin.erase(0, start);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Skins>\n";
    while (out.size() < kDocumentSize)
        out += skin;
    return out + "</Skins>\n";
}

std::string AttributesAndEntities()
{
    const char* const values[] = {"a &amp; b", "&quot;quoted&quot;", "x &lt; y &gt; z", "it&apos;s",
                                  u8"网吧专用 &amp; 验证码", "plain", "&lt;&lt;&amp;&gt;&gt;",
                                  "normalimage=&quot;res='118' restype='png'&quot;", "#FF4775CC", "10,0,0,10"};
    Random random;
    std::string out = "<Records count=\"many\">\n";
    for (int n = 0; out.size() < kDocumentSize; ++n) {
        out += " <Record id=\"" + std::to_string(n) + "\"";
        int attributes = 4 + random.Next(12);
        for (int i = 0; i < attributes; ++i)
            out += " k" + std::to_string(i) + "=\"" + Pick(random, values) + "\"";
        if (random.Next(2))
            out += ">" + Pick(random, values) + " &amp; " + Pick(random, values) + "</Record>\n";
        else
            out += "/>\n";
    }
    return out + "</Records>\n";
}

std::string WithoutMark(const std::string& utf8)
{
    return utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8.substr(3) : utf8;
}

// ---------------------------------------------------------------------------
// Reading every value

size_t ReadOurs(const CXmlNode& first)
{
    size_t total = 0;
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling()) {
        total += std::strlen(node.GetName()) + std::strlen(node.GetValue());
        int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i)
            total += std::strlen(node.GetAttributeName(i)) + std::strlen(node.GetAttributeValue(i));
        total += ReadOurs(node.GetChild());
    }
    return total;
}

size_t ReadPugi(const pugi::xml_node& parent)
{
    size_t total = 0;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        total += std::strlen(node.name()) + std::strlen(node.child_value());
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            total += std::strlen(a.name()) + std::strlen(a.value());
        total += ReadPugi(node);
    }
    return total;
}

volatile size_t g_sink;

void ParseOurs(const std::string& text)
{
    CXmlDocument doc;
    if (!doc.LoadFromString(text.c_str()))
        std::abort();
    g_sink = ReadOurs(doc.GetRootElement());
}

void LoadOurs(const std::string& utf8)
{
    CXmlDocument doc;
    if (!doc.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size())))
        std::abort();
    g_sink = ReadOurs(doc.GetRootElement());
}

void ParsePugi(const std::string& text)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        std::abort();
    g_sink = ReadPugi(doc);
}

// ---------------------------------------------------------------------------
// The trees, compared

void DumpOurs(const CXmlNode& first, std::string& out)
{
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling()) {
        out += '<';
        out += node.GetName();
        for (int i = 0; i < node.GetAttributeCount(); ++i)
            out += std::string(" ") + node.GetAttributeName(i) + "=\"" + node.GetAttributeValue(i) + '"';
        out += std::string(">") + node.GetValue() + '\n';
        DumpOurs(node.GetChild(), out);
        out += "</>\n";
    }
}

// pugixml keeps the same tree as ours when it keeps whitespace-only text and
// changes no whitespace: an element's content is its text before the first
// child element.
void DumpPugi(const pugi::xml_node& parent, std::string& out)
{
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        out += '<';
        out += node.name();
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            out += std::string(" ") + a.name() + "=\"" + a.value() + '"';
        pugi::xml_node text = node.first_child();
        out += std::string(">") + (text.type() == pugi::node_pcdata ? text.value() : "") + '\n';
        DumpPugi(node, out);
        out += "</>\n";
    }
}

std::string PugiTree(const std::string& text)
{
    pugi::xml_document doc;
    const unsigned flags = pugi::parse_escapes | pugi::parse_ws_pcdata;
    if (!doc.load_buffer(text.data(), text.size(), flags, pugi::encoding_utf8))
        return "pugixml failed";
    std::string out;
    DumpPugi(doc, out);
    return out;
}

std::string OurTree(CXmlDocument& doc, bool loaded)
{
    if (!loaded)
        return std::string("failed: ") + doc.GetErrorText();
    std::string out;
    DumpOurs(doc.GetRootElement(), out);
    return out;
}

bool SameTrees(const char* what, const std::string& utf8, const std::string& text)
{
    CXmlDocument fromText, fromUtf8;
    std::string parsed = OurTree(fromText, fromText.LoadFromString(text.c_str()));
    std::string loaded = OurTree(fromUtf8, fromUtf8.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size())));
    std::string theirs = PugiTree(utf8);
    bool same = true;
    if (parsed != theirs) {
        std::fprintf(stderr, "%s: the parsed tree differs from pugixml's\n", what);
        same = false;
    }
    if (loaded != theirs) {
        std::fprintf(stderr, "%s: the loaded tree differs from pugixml's\n", what);
        same = false;
    }
    return same;
}

// ---------------------------------------------------------------------------
// Timing

using Clock = std::chrono::steady_clock;

template <typename F>
double Seconds(F&& run)
{
    Clock::time_point start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// pugixml's time over ours, from the best of a few runs of each, alternating.
template <typename Ours, typename Theirs>
double Ratio(Ours&& ours, Theirs&& theirs, double& bestOurs, double& bestTheirs)
{
    double a = 1e9, b = 1e9;
    for (int i = 0; i < kRunsPerRound; ++i) {
        if (i % 2 == 0) {
            a = std::min(a, Seconds(ours));
            b = std::min(b, Seconds(theirs));
        } else {
            b = std::min(b, Seconds(theirs));
            a = std::min(a, Seconds(ours));
        }
    }
    bestOurs = std::min(bestOurs, a);
    bestTheirs = std::min(bestTheirs, b);
    return b / a;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Document
{
    const char* name;
    std::string utf8;
    std::string text;
    std::vector<double> parse, load;
    double parseOurs = 1e9, parsePugi = 1e9, loadOurs = 1e9, loadPugi = 1e9;
};

void PrintRow(const std::string& figure, const std::vector<double>& ratios, double budget, bool valid)
{
    double median = Median(ratios);
    bool holds = valid && median >= budget;
    std::printf("| %s | %.2f | %.2f | \xE2\x89\xA5 %.1f | %s |\n", figure.c_str(),
                *std::min_element(ratios.begin(), ratios.end()), median, budget, holds ? "yes" : "no");
}

void PrintDetails(const char* what, size_t bytes, double ours, double theirs)
{
    double mib = bytes / (1024.0 * 1024.0);
    std::fprintf(stderr, "  %-10s ours %7.2f ms (%6.1f MiB/s)  pugixml %7.2f ms (%6.1f MiB/s)\n", what, ours * 1e3,
                 mib / ours, theirs * 1e3, mib / theirs);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    if (rounds < 5) {
        std::fprintf(stderr, "usage: parse_bench [rounds, at least 5]\n");
        return 2;
    }
    std::vector<Document> documents(3);
    documents[0].name = "generated skin";
    documents[0].utf8 = GeneratedSkin();
    documents[1].name = "main skin repeated";
    documents[1].utf8 = MainSkinRepeated();
    documents[2].name = "attributes and entities";
    documents[2].utf8 = AttributesAndEntities();

    bool same = true;
    for (Document& d : documents) {
        d.text = WithoutMark(d.utf8);
        if (d.utf8.size() < kDocumentSize) {
            std::fprintf(stderr, "%s: document missing\n", d.name);
            return 1;
        }
        same = SameTrees(d.name, d.utf8, d.text) && same;
    }
    if (!same)
        std::fprintf(stderr, "trees differ: the figures do not count\n");

    for (int round = 0; round < rounds; ++round) {
        for (Document& d : documents) {
            d.parse.push_back(Ratio([&] { ParseOurs(d.text); }, [&] { ParsePugi(d.text); }, d.parseOurs, d.parsePugi));
            d.load.push_back(Ratio([&] { LoadOurs(d.utf8); }, [&] { ParsePugi(d.utf8); }, d.loadOurs, d.loadPugi));
        }
    }

    for (const Document& d : documents) {
        std::fprintf(stderr, "%s: %zu bytes UTF-8, best of %d rounds\n", d.name, d.utf8.size(), rounds);
        PrintDetails("parse", d.text.size(), d.parseOurs, d.parsePugi);
        PrintDetails("load path", d.utf8.size(), d.loadOurs, d.loadPugi);
    }
    for (const Document& d : documents)
        PrintRow(std::string("skin parse, ") + d.name + " (\xC3\x97 pugixml)", d.parse, 1.0, same);
    for (const Document& d : documents)
        PrintRow(std::string("skin load path, ") + d.name + " (\xC3\x97 pugixml)", d.load, 0.8, same);
    return same ? 0 : 1;
}
