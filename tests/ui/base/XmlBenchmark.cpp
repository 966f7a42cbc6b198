// Parse throughput of the markup parser on a large generated skin. Not a
// test: run it by hand and read the figures.
//   xml_benchmark [megabytes] [rounds]
#include "ui/base/AnsiCodePage.h"
#include "ui/base/XmlDocument.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using ui::CXmlDocument;
using ui::CXmlNode;

namespace {

using Clock = std::chrono::steady_clock;

// A skin like the program's, repeated: nested layouts, buttons with image
// strings in entity-quoted defaults, Chinese texts and comments.
std::string MakeSkin(size_t targetBytes)
{
    std::string skin = u8"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       u8"<Window size=\"380,300\" caption=\"0,0,0,30\" roundcorner=\"4,4\">\n"
                       u8"  <Font name=\"微软雅黑\" size=\"12\" bold=\"false\" default=\"true\" />\n"
                       u8"  <Default name=\"Button\" value=\"normalimage=&quot;res='118' restype='png' "
                       u8"source='0,0,100,22' corner='2,2,20,2'&quot;\" />\n";
    int n = 0;
    while (skin.size() < targetBytes) {
        std::string id = std::to_string(n++);
        skin += u8"  <VerticalLayout name=\"v" + id + u8"\" bkcolor=\"#FF4775CC\" padding=\"10,0,0,10\">\n"
                u8"    <!-- 工具栏 " + id + u8" -->\n"
                u8"    <HorizontalLayout height=\"30\">\n"
                u8"      <Label name=\"lbl_token" + id + u8"\" text=\"获取验证码 &amp; 倒计时\" "
                u8"textcolor=\"#FFFFFFFF\" font=\"1\" />\n"
                u8"      <Button name=\"btn_" + id + u8"\" text=\"网吧专用\" tooltip=\"click &lt;here&gt;\" "
                u8"normalimage=\"res='118' restype='png' source='0,0,100,22'\" />\n"
                u8"      <Control />\n"
                u8"    </HorizontalLayout>\n"
                u8"    <Text>正在获取验证码 ...... </Text>\n"
                u8"  </VerticalLayout>\n";
    }
    skin += u8"</Window>\n";
    return skin;
}

size_t WalkAttributes(CXmlNode node)
{
    size_t count = 0;
    for (; node.IsValid(); node = node.GetSibling()) {
        count += node.GetAttributeCount();
        count += WalkAttributes(node.GetChild());
    }
    return count;
}

struct Figures
{
    double best;
    double median;
};

template <typename F>
Figures Measure(int rounds, F&& run)
{
    std::vector<double> seconds;
    for (int i = 0; i < rounds; ++i) {
        Clock::time_point start = Clock::now();
        run();
        seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(seconds.begin(), seconds.end());
    return {seconds.front(), seconds[seconds.size() / 2]};
}

void Print(const char* what, size_t bytes, const Figures& f)
{
    double mib = bytes / (1024.0 * 1024.0);
    std::printf("%-34s best %8.2f ms  %8.1f MiB/s   median %8.2f ms  %8.1f MiB/s\n", what, f.best * 1e3,
                mib / f.best, f.median * 1e3, mib / f.median);
}

} // namespace

int main(int argc, char** argv)
{
    double megabytes = argc > 1 ? std::atof(argv[1]) : 4.0;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 15;
    if (megabytes <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: xml_benchmark [megabytes] [rounds]\n");
        return 2;
    }

    std::string utf8 = MakeSkin(static_cast<size_t>(megabytes * 1024 * 1024));
    CXmlDocument probe;
    if (!probe.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size()))) {
        std::fprintf(stderr, "generated skin does not parse: %s\n", probe.GetErrorText());
        return 1;
    }
    // The same text already in the ANSI code page, for the parse alone.
    int ansiLength = 0;
    char* converted = ui::CAnsiCodePage::Utf8ToAnsi(utf8.data() + 3, static_cast<int>(utf8.size() - 3), &ansiLength);
    std::string ansi(converted, ansiLength);
    std::free(converted);

    int elements = probe.GetElementCount() - 1;
    size_t attributes = WalkAttributes(probe.GetRootElement());
    std::printf("skin: %zu bytes UTF-8 (%zu in code page 936), %d elements, %zu attributes, %d rounds\n",
                utf8.size(), ansi.size(), elements, attributes, rounds);

    Print("LoadFromString (parse only)", ansi.size(), Measure(rounds, [&] {
              CXmlDocument doc;
              if (!doc.LoadFromString(ansi.c_str()))
                  std::abort();
          }));
    Print("UTF-8 to code page 936 only", utf8.size(), Measure(rounds, [&] {
              int length = 0;
              std::free(ui::CAnsiCodePage::Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size()), &length));
          }));
    Print("LoadFromUtf8 (convert + parse)", utf8.size(), Measure(rounds, [&] {
              CXmlDocument doc;
              if (!doc.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size())))
                  std::abort();
          }));
    CXmlDocument doc;
    doc.LoadFromUtf8(utf8.data(), static_cast<int>(utf8.size()));
    Print("attribute tables, whole tree", utf8.size(), Measure(rounds, [&] {
              if (WalkAttributes(doc.GetRootElement()) != attributes)
                  std::abort();
          }));
    return 0;
}
