// Parse speed of CXmlDocument against pugixml on three generated documents
// of 4 MiB: a skin, the main skin repeated inside one root, and a document
// heavy in attributes and entities. pugixml is compiled from its sources
// into this program, so that both sides have the same compiler and flags.
//
// In every timed run both sides start from the same bytes and do the same
// work: copy the text into a new document, parse it into a tree, free the
// tree. Three figures per document, each pugixml's time divided by ours
// (above 1: we are faster):
//   parse            the text in the framework's encoding (LoadFromString);
//   parse and visit  the same, every element name, text, attribute name and
//                    value read before the tree is freed;
//   load path        ours through the framework's load function for skin
//                    bytes (LoadFromUtf8, whatever conversion it does),
//                    pugixml parsing the same UTF-8.
// pugixml parses with our semantics: entities decoded, line ends and
// whitespace in attribute values kept as they are, comments, declarations
// and processing instructions dropped (parse_escapes alone).
//
// Each figure is taken per round from the best of five interleaved runs of
// each side, over several rounds; min and median are printed. Before timing
// the trees are compared by their counts and a checksum of every name and
// value: ours from the text and from the UTF-8 with pugixml's from the text.
// The text is the UTF-8 converted by iconv to the encoding the load
// function turns out to produce (code page 936, or UTF-8 kept as it is).
//
// Standard output holds only markdown table rows
//   | figure | min | median | budget | holds |
// details go to standard error. Exit status 1 when the trees differ.
//   parse_bench [rounds, default 15]
#include "ui/base/XmlDocument.h"
#include "ui/base/XmlNode.h"

#include <pugixml.hpp>

#include <iconv.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

const size_t kDocumentSize = 4 * 1024 * 1024;
const int kRunsPerRound = 5;
// Entities decoded; nothing else changed or kept beyond elements, their
// attributes and their texts.
const unsigned kPugiOptions = pugi::parse_escapes;

// ---------------------------------------------------------------------------
// Documents (UTF-8, deterministic)

// A small linear congruential generator, so that every run builds the same text.
class Random {
public:
    unsigned Next(unsigned bound)
    {
        m_state = m_state * 1103515245u + 12345u;
        return (m_state >> 16) % bound;
    }

private:
    unsigned m_state = 20240601u;
};

const char* const kTexts[] = { u8"获取验证码",
                               u8"网吧专用",
                               u8"最小化",
                               u8"关闭",
                               u8"软件版本：1.0.0.1",
                               "OK",
                               "Cancel",
                               u8"请点击下方按钮来获取验证码",
                               "Wavorin" };
const char* const kImages[] = { "res='103' restype='png'", "res='118' restype='png' source='0,0,100,22'",
                                "file='btn.png' corner='2,2,20,2'" };

template <size_t N> std::string Pick(Random& random, const char* const (&items)[N])
{
    return items[random.Next(static_cast<unsigned>(N))];
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
            + "\" textcolor=\"#FFFFFFFF\" font=\"" + std::to_string(random.Next(4))
            + "\" padding=\"10,0,0,10\" />\n";
        break;
    case 2:
        out += indent + "<Button name=\"btn_" + name + "\" text=\"" + Pick(random, kTexts)
            + "\" tooltip=\"click &lt;" + name + "&gt;\" width=\"" + std::to_string(20 + random.Next(200))
            + "\" normalimage=\"" + Pick(random, kImages) + "\" hotimage=\"" + Pick(random, kImages)
            + "\" />\n";
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
    out += indent + "<" + kind + " name=\"lay_" + std::to_string(my) + "\" height=\""
        + std::to_string(random.Next(300)) + "\" bkcolor=\"#FF" + std::to_string(100000 + random.Next(800000))
        + "\">\n";
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
    const char* const values[] = { "a &amp; b",
                                   "&quot;quoted&quot;",
                                   "x &lt; y &gt; z",
                                   "it&apos;s",
                                   u8"网吧专用 &amp; 验证码",
                                   "plain",
                                   "&lt;&lt;&amp;&gt;&gt;",
                                   "normalimage=&quot;res='118' restype='png'&quot;",
                                   "#FF4775CC",
                                   "10,0,0,10" };
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

// ---------------------------------------------------------------------------
// The framework's encoding, and conversion to it independent of the framework

// UTF-8 converted by iconv to `encoding`; empty when iconv fails.
std::string Iconv(const std::string& utf8, const char* encoding)
{
    iconv_t converter = iconv_open(encoding, "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::string();
    std::string out(utf8.size() + 1, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* put = &out[0];
    size_t outLeft = out.size();
    size_t done = iconv(converter, &in, &inLeft, &put, &outLeft);
    iconv_close(converter);
    if (done == static_cast<size_t>(-1))
        return std::string();
    out.resize(out.size() - outLeft);
    return out;
}

// The encoding of the texts the load function hands out, as iconv names it:
// what it makes of a value that differs between the candidates. Null when
// it is neither.
const char* FrameworkEncoding()
{
    const std::string value = u8"网吧专用";
    const std::string probe = "<a b=\"" + value + "\"/>";
    CXmlDocument doc;
    if (!doc.LoadFromUtf8(probe.data(), static_cast<int>(probe.size())))
        return nullptr;
    const char* got = doc.GetRootElement().GetAttributeValue("b");
    if (got && got == Iconv(value, "CP936"))
        return "CP936";
    if (got && got == value)
        return "UTF-8";
    return nullptr;
}

std::string WithoutMark(const std::string& utf8)
{
    return utf8.compare(0, 3, "\xEF\xBB\xBF") == 0 ? utf8.substr(3) : utf8;
}

// ---------------------------------------------------------------------------
// The timed work

volatile size_t g_sink;

size_t VisitOurs(const CXmlNode& first)
{
    size_t total = 0;
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling()) {
        total += std::strlen(node.GetName()) + std::strlen(node.GetValue());
        int count = node.GetAttributeCount();
        for (int i = 0; i < count; ++i)
            total += std::strlen(node.GetAttributeName(i)) + std::strlen(node.GetAttributeValue(i));
        total += VisitOurs(node.GetChild());
    }
    return total;
}

// pugixml keeps an element's text as a child node of its own.
size_t VisitPugi(const pugi::xml_node& parent)
{
    size_t total = 0;
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_pcdata) {
            total += std::strlen(node.value());
            continue;
        }
        total += std::strlen(node.name());
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
            total += std::strlen(a.name()) + std::strlen(a.value());
        total += VisitPugi(node);
    }
    return total;
}

void ParseOurs(const std::string& text, bool visit)
{
    CXmlDocument doc;
    if (!doc.LoadFromString(text.c_str()))
        std::abort();
    if (visit)
        g_sink = VisitOurs(doc.GetRootElement());
}

void LoadOurs(const std::string& utf8)
{
    CXmlDocument doc;
    if (!doc.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size())))
        std::abort();
}

// load_buffer, like LoadFromString, parses a copy of the text of its own.
void ParsePugi(const std::string& text, bool visit)
{
    pugi::xml_document doc;
    if (!doc.load_buffer(text.data(), text.size(), kPugiOptions, pugi::encoding_utf8))
        std::abort();
    if (visit)
        g_sink = VisitPugi(doc);
}

// ---------------------------------------------------------------------------
// The trees, compared

// The counts and a checksum (FNV-1a) of a tree's names and values in
// document order. A text of whitespace alone counts as none: ours keeps it
// as the value of an element whose children follow it, pugixml drops it.
struct Digest {
    size_t elements = 0, attributes = 0, texts = 0;
    uint64_t checksum = 14695981039346656037ull;

    void Add(const char* text)
    {
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
            checksum = (checksum ^ *p) * 1099511628211ull;
        checksum = (checksum ^ 0x100) * 1099511628211ull; // ends the string
    }
    void AddText(const char* text)
    {
        if (text[std::strspn(text, " \t\r\n")] == '\0')
            return;
        ++texts;
        Add(text);
    }
    bool operator==(const Digest& other) const
    {
        return elements == other.elements && attributes == other.attributes && texts == other.texts
            && checksum == other.checksum;
    }
    bool operator!=(const Digest& other) const { return !(*this == other); }
};

void DigestOurs(const CXmlNode& first, Digest& digest)
{
    for (CXmlNode node = first; node.IsValid(); node = node.GetSibling()) {
        ++digest.elements;
        digest.Add(node.GetName());
        for (int i = 0; i < node.GetAttributeCount(); ++i, ++digest.attributes) {
            digest.Add(node.GetAttributeName(i));
            digest.Add(node.GetAttributeValue(i));
        }
        digest.AddText(node.GetValue());
        DigestOurs(node.GetChild(), digest);
        digest.Add("/");
    }
}

// An element's text, for ours, is the text before its first child element.
void DigestPugi(const pugi::xml_node& parent, Digest& digest)
{
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        ++digest.elements;
        digest.Add(node.name());
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute(), ++digest.attributes) {
            digest.Add(a.name());
            digest.Add(a.value());
        }
        pugi::xml_node text = node.first_child();
        digest.AddText(text.type() == pugi::node_pcdata ? text.value() : "");
        DigestPugi(node, digest);
        digest.Add("/");
    }
}

bool Report(const char* document, const char* what, CXmlDocument& doc, bool loaded, const Digest& theirs)
{
    if (!loaded) {
        std::fprintf(stderr, "%s: %s failed: %s\n", document, what, doc.GetErrorText());
        return false;
    }
    Digest ours;
    DigestOurs(doc.GetRootElement(), ours);
    if (ours != theirs) {
        std::fprintf(
            stderr,
            "%s: %s: %zu elements, %zu attributes, %zu texts, checksum %016llx; pugixml %zu, %zu, %zu, "
            "%016llx\n",
            document, what, ours.elements, ours.attributes, ours.texts,
            static_cast<unsigned long long>(ours.checksum), theirs.elements, theirs.attributes, theirs.texts,
            static_cast<unsigned long long>(theirs.checksum));
        return false;
    }
    return true;
}

bool SameTrees(const char* document, const std::string& utf8, const std::string& text)
{
    pugi::xml_document pugi;
    if (!pugi.load_buffer(text.data(), text.size(), kPugiOptions, pugi::encoding_utf8)) {
        std::fprintf(stderr, "%s: pugixml failed\n", document);
        return false;
    }
    Digest theirs;
    DigestPugi(pugi, theirs);
    std::fprintf(stderr, "%s: %zu elements, %zu attributes, %zu texts, checksum %016llx\n", document,
                 theirs.elements, theirs.attributes, theirs.texts,
                 static_cast<unsigned long long>(theirs.checksum));
    CXmlDocument parsed, loaded;
    bool same = Report(document, "parsed", parsed, parsed.LoadFromString(text.c_str()), theirs);
    return Report(document, "loaded", loaded, loaded.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size())),
                  theirs)
        && same;
}

// ---------------------------------------------------------------------------
// Timing

using Clock = std::chrono::steady_clock;

template <typename F> double Seconds(F&& run)
{
    Clock::time_point start = Clock::now();
    run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Document {
    const char* name;
    std::string utf8;
    std::string text; // in the framework's encoding, without a byte-order mark
};

// One figure of one document: both sides' work, the ratio of each round and
// the best time of each side over all rounds.
struct Figure {
    using Work = void (*)(const Document&);

    Figure(const char* what, std::string label, const Document& document, size_t bytes, double budget,
           Work ours, Work theirs)
        : what(what)
        , label(std::move(label))
        , document(&document)
        , bytes(bytes)
        , budget(budget)
        , ours(ours)
        , theirs(theirs)
    { }

    const char* what;
    std::string label; // of its row, before the document's name
    const Document* document;
    size_t bytes; // parsed by ours
    double budget;
    Work ours, theirs;
    std::vector<double> ratios;
    double bestOurs = 1e9, bestTheirs = 1e9;

    // pugixml's time over ours, from the best of a few runs of each, alternating.
    void Round()
    {
        double a = 1e9, b = 1e9;
        for (int i = 0; i < kRunsPerRound; ++i) {
            if (i % 2 == 0) {
                a = std::min(a, Seconds([&] { ours(*document); }));
                b = std::min(b, Seconds([&] { theirs(*document); }));
            } else {
                b = std::min(b, Seconds([&] { theirs(*document); }));
                a = std::min(a, Seconds([&] { ours(*document); }));
            }
        }
        bestOurs = std::min(bestOurs, a);
        bestTheirs = std::min(bestTheirs, b);
        ratios.push_back(b / a);
    }
};

void PrintRow(const Figure& figure, bool valid)
{
    double median = Median(figure.ratios);
    bool holds = valid && median >= figure.budget;
    std::printf("| %s%s (\xC3\x97 pugixml) | %.2f | %.2f | \xE2\x89\xA5 %.1f | %s |\n", figure.label.c_str(),
                figure.document->name, *std::min_element(figure.ratios.begin(), figure.ratios.end()), median,
                figure.budget, holds ? "yes" : "no");
}

void PrintDetails(const Figure& figure)
{
    double mib = figure.bytes / (1024.0 * 1024.0);
    std::fprintf(stderr, "  %-16s ours %7.2f ms (%6.1f MiB/s)  pugixml %7.2f ms (%6.1f MiB/s)\n", figure.what,
                 figure.bestOurs * 1e3, mib / figure.bestOurs, figure.bestTheirs * 1e3,
                 mib / figure.bestTheirs);
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
    if (rounds < 5) {
        std::fprintf(stderr, "usage: parse_bench [rounds, at least 5]\n");
        return 2;
    }
    const char* encoding = FrameworkEncoding();
    if (!encoding) {
        std::fprintf(stderr, "the load function's texts are neither code page 936 nor UTF-8\n");
        return 1;
    }
    const bool converts = std::strcmp(encoding, "UTF-8") != 0;
    std::fprintf(stderr, "the load function's texts are %s\n", encoding);

    std::vector<Document> documents(3);
    documents[0].name = "generated skin";
    documents[0].utf8 = GeneratedSkin();
    documents[1].name = "main skin repeated";
    documents[1].utf8 = MainSkinRepeated();
    documents[2].name = "attributes and entities";
    documents[2].utf8 = AttributesAndEntities();

    bool same = true;
    for (Document& d : documents) {
        if (d.utf8.size() < kDocumentSize) {
            std::fprintf(stderr, "%s: document missing\n", d.name);
            return 1;
        }
        d.text = converts ? Iconv(WithoutMark(d.utf8), encoding) : WithoutMark(d.utf8);
        same = SameTrees(d.name, d.utf8, d.text) && same;
    }
    if (!same)
        std::fprintf(stderr, "trees differ: the figures do not count\n");

    // Rows in the table's order: each kind of figure for every document.
    const std::string loadPath = converts ? "skin load path with code page 936, " : "skin load path, ";
    std::vector<Figure> figures;
    for (const Document& d : documents)
        figures.emplace_back(
            "parse", "skin parse, ", d, d.text.size(), 1.0,
            [](const Document& d) { ParseOurs(d.text, false); },
            [](const Document& d) { ParsePugi(d.text, false); });
    for (const Document& d : documents)
        figures.emplace_back(
            "parse and visit", "skin parse and visit, ", d, d.text.size(), 1.0,
            [](const Document& d) { ParseOurs(d.text, true); },
            [](const Document& d) { ParsePugi(d.text, true); });
    for (const Document& d : documents)
        figures.emplace_back(
            "load path", loadPath, d, d.utf8.size(), 0.8, [](const Document& d) { LoadOurs(d.utf8); },
            [](const Document& d) { ParsePugi(d.utf8, false); });
    for (int round = 0; round < rounds; ++round)
        for (Figure& figure : figures)
            figure.Round();

    for (const Document& d : documents) {
        std::fprintf(stderr, "%s: %zu bytes UTF-8, %zu in %s, best of %d rounds\n", d.name, d.utf8.size(),
                     d.text.size(), encoding, rounds);
        for (const Figure& figure : figures)
            if (figure.document == &d)
                PrintDetails(figure);
    }
    for (const Figure& figure : figures)
        PrintRow(figure, same);
    return same ? 0 : 1;
}
