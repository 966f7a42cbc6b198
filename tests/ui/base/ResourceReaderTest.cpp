#include "ui/base/ResourceReader.h"
#include "ui/base/XmlDocument.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using ui::CResourceReader;
using ui::CXmlDocument;
using ui::UIResourceSource;

namespace fs = std::filesystem;

namespace {

struct ZipEntry
{
    std::string name;
    std::string data;
    bool deflate;
    bool badCrc;
    bool garbage; // deflated data that does not inflate
};

void Put16(std::string& out, unsigned v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string Deflate(const std::string& data)
{
    z_stream z = {};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A minimal ZIP archive writer: local headers, central directory, end record.
std::string MakeZip(const std::vector<ZipEntry>& entries)
{
    std::string zip, directory;
    for (const ZipEntry& e : entries) {
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        if (e.badCrc)
            crc ^= 1;
        std::string body = e.garbage ? std::string("\xFF\xFF\xFF\xFF", 4) : e.deflate ? Deflate(e.data) : e.data;
        unsigned method = (e.deflate || e.garbage) ? 8 : 0;
        uint32_t offset = static_cast<uint32_t>(zip.size());
        auto header = [&](std::string& out, bool central) {
            Put32(out, central ? 0x02014b50 : 0x04034b50);
            if (central)
                Put16(out, 20);
            Put16(out, 20);
            Put16(out, 0);
            Put16(out, method);
            Put16(out, 0);
            Put16(out, 0x21);
            Put32(out, crc);
            Put32(out, static_cast<uint32_t>(body.size()));
            Put32(out, static_cast<uint32_t>(e.data.size()));
            Put16(out, static_cast<unsigned>(e.name.size()));
            Put16(out, 0);
            if (central) {
                Put16(out, 0);
                Put16(out, 0);
                Put16(out, 0);
                Put32(out, 0);
                Put32(out, offset);
            }
            out += e.name;
        };
        header(zip, false);
        zip += body;
        header(directory, true);
    }
    uint32_t directoryOffset = static_cast<uint32_t>(zip.size());
    zip += directory;
    Put32(zip, 0x06054b50);
    Put16(zip, 0);
    Put16(zip, 0);
    Put16(zip, static_cast<unsigned>(entries.size()));
    Put16(zip, static_cast<unsigned>(entries.size()));
    Put32(zip, static_cast<uint32_t>(directory.size()));
    Put32(zip, directoryOffset);
    Put16(zip, 0);
    return zip;
}

const std::string kSkin = u8"\xEF\xBB\xBF<?xml version=\"1.0\"?><Window><Label text=\"网吧\"/></Window>";
const size_t kLimit = CResourceReader::kMaxSkinSize;

// A valid document of exactly `size` bytes.
std::string SkinOfSize(size_t size)
{
    std::string head = "<Window>", tail = "</Window>";
    return head + std::string(size - head.size() - tail.size(), 'x') + tail;
}

class ResourceReaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("wavorin-xml-") + info->name() + "-"
                                           + std::to_string(static_cast<unsigned>(std::rand())));
        fs::create_directories(dir_);
        source_.folder = (dir_.string() + static_cast<char>(fs::path::preferred_separator)).c_str();
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    fs::path dir_;
    UIResourceSource source_;
};

} // namespace

TEST_F(ResourceReaderTest, FileErrors)
{
    Write("skin.xml", kSkin);
    Write("empty.xml", "");
    Write("exact.xml", SkinOfSize(kLimit));
    Write("over.xml", SkinOfSize(kLimit + 1));
    Write("bad.xml", "<Window></Label>");
    struct Row
    {
        const char* name;
        const char* error; // empty: loads
    };
    const Row rows[] = {
        {"skin.xml", ""},
        {"exact.xml", ""},
        {"missing.xml", "Error opening file"},
        {"empty.xml", "File is empty"},
        {"over.xml", "File too large"},
        {"bad.xml", "Unmatched closing tag"},
    };
    for (const Row& row : rows) {
        CXmlDocument doc;
        EXPECT_EQ(row.error[0] == '\0', doc.LoadFromFile(row.name, source_)) << row.name;
        EXPECT_STREQ(row.error, doc.GetErrorText()) << row.name;
        if (row.error[0] != '\0' && std::string(row.error).find("tag") == std::string::npos) {
            EXPECT_STREQ("", doc.GetErrorContext()) << row.name;
        }
    }
    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile("skin.xml", source_));
    EXPECT_STREQ("网吧", doc.GetRootElement().GetChild().GetAttributeValue("text"));
}

#ifndef _WIN32
TEST_F(ResourceReaderTest, DirectoryCannotBeRead)
{
    fs::create_directories(dir_ / "sub.xml");
    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile("sub.xml", source_));
    EXPECT_STREQ("Could not read file", doc.GetErrorText());
}
#endif

TEST_F(ResourceReaderTest, ArchiveErrors)
{
    Write("skin.zip", MakeZip({
                          {"skin.xml", kSkin, true, false, false},
                          {"stored.xml", kSkin, false, false, false},
                          {"empty.xml", "", false, false, false},
                          {"exact.xml", SkinOfSize(kLimit), true, false, false},
                          {"over.xml", SkinOfSize(kLimit + 1), true, false, false},
                          {"crc.xml", kSkin, false, true, false},
                          {"garbage.xml", kSkin, false, false, true},
                          {"bad.xml", "text", false, false, false},
                      }));
    Write("notazip.zip", "this is not an archive");
    struct Row
    {
        const char* archive;
        const char* name;
        const char* error;
    };
    const Row rows[] = {
        {"skin.zip", "skin.xml", ""},
        {"skin.zip", "stored.xml", ""},
        {"skin.zip", "exact.xml", ""},
        {"skin.zip", "SKIN.XML", "Could not find ziped file"},
        {"skin.zip", "missing.xml", "Could not find ziped file"},
        {"skin.zip", "empty.xml", "File is empty"},
        {"skin.zip", "over.xml", "File too large"},
        {"skin.zip", "crc.xml", "Could not unzip file"},
        {"skin.zip", "garbage.xml", "Could not unzip file"},
        {"skin.zip", "bad.xml", "Expected start tag"},
        {"missing.zip", "skin.xml", "Error opening zip file"},
        {"notazip.zip", "skin.xml", "Error opening zip file"},
    };
    for (const Row& row : rows) {
        source_.archive = row.archive;
        CXmlDocument doc;
        EXPECT_EQ(row.error[0] == '\0', doc.LoadFromFile(row.name, source_)) << row.name;
        EXPECT_STREQ(row.error, doc.GetErrorText()) << row.archive << " " << row.name;
    }
}

TEST_F(ResourceReaderTest, KeptOpenArchive)
{
    Write("skin.zip", MakeZip({{"skin.xml", kSkin, true, false, false}}));
    source_.archive = "skin.zip";
    source_.keepArchiveOpen = true;

    CXmlDocument doc;
    EXPECT_FALSE(doc.LoadFromFile("skin.xml", source_)); // no handle yet
    EXPECT_STREQ("Could not find ziped file", doc.GetErrorText());

    source_.openArchive = CResourceReader::OpenArchive(source_.folder + "skin.zip");
    ASSERT_NE(nullptr, source_.openArchive);
    for (int i = 0; i < 2; ++i) { // the handle stays usable
        ASSERT_TRUE(doc.LoadFromFile("skin.xml", source_)) << doc.GetErrorText();
        EXPECT_EQ(0, source_.lastArchiveResult);
    }
    EXPECT_FALSE(doc.LoadFromFile("other.xml", source_));
    EXPECT_NE(0, source_.lastArchiveResult);
    CResourceReader::CloseArchive(source_.openArchive);
}

TEST_F(ResourceReaderTest, FolderNamedInChinese)
{
    // The UTF-8 path went to the platform's code page calls, which read its
    // bytes as another name.
    fs::path folder = dir_ / fs::u8path("皮肤");
    fs::create_directories(folder);
    std::ofstream(folder / "skin.xml", std::ios::binary) << kSkin;
    std::ofstream(folder / "skin.zip", std::ios::binary) << MakeZip({ { "skin.xml", kSkin, true, false, false } });
    source_.folder = (folder.u8string() + static_cast<char>(fs::path::preferred_separator)).c_str();
    const char* archives[] = { "", "skin.zip" };
    for (const char* archive : archives) {
        source_.archive = archive;
        CXmlDocument doc;
        ASSERT_TRUE(doc.LoadFromFile("skin.xml", source_)) << archive << ": " << doc.GetErrorText();
        EXPECT_STREQ("网吧", doc.GetRootElement().GetChild().GetAttributeValue("text"));
    }
}

TEST_F(ResourceReaderTest, ReadGivesTheWholeFile)
{
    Write("a.bin", std::string("\0\1\2xyz", 6));
    char* bytes = nullptr;
    unsigned size = 0;
    ASSERT_EQ(CResourceReader::kOk, CResourceReader::Read(source_, "a.bin", 100, &bytes, &size));
    EXPECT_EQ(std::string("\0\1\2xyz", 6), std::string(bytes, size));
    std::free(bytes);
    EXPECT_EQ(CResourceReader::kTooLarge, CResourceReader::Read(source_, "a.bin", 5, &bytes, &size));
    EXPECT_EQ(nullptr, bytes);
}
