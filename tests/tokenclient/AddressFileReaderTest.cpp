#include <gtest/gtest.h>

#include <string>

#include "tokenclient/AddressFileReader.h"

namespace {

std::string Parse(const std::string& text) { return AddressFileReader::Parse(text.data(), text.size()); }

TEST(AddressFileReaderTest, LinesOfTheFile)
{
    struct Row {
        const char* name;
        std::string text;
        std::string address;
    } rows[] = {
        {"empty file", "", "ini_invalid"},
        {"one line, no final break", "authip = 10.0.0.7", "10.0.0.7"},
        {"final CR LF", "authip = 10.0.0.7\r\n", "10.0.0.7"},
        {"the last line wins", "authip = 10.0.0.7\nauthip = 10.0.0.8\n", "10.0.0.8"},
        {"short lines are passed over", "authip = 10.0.0.7\n\nshort\n", "10.0.0.7"},
        {"only short lines", "a\nb\r\n", "ini_invalid"},
        {"nine characters give an empty address", "authip = \n", ""},
        {"fifteen characters at most", "authip = 192.168.100.200 ; remark", "192.168.100.200"},
        {"shorter trailing text stays", "authip = 10.0.0.7 #x", "10.0.0.7 #x"},
        {"nothing is trimmed", "xxxxxxxxx  10.0.0.7", "  10.0.0.7"},
        {"the label is not examined", "\xD6\xD0\xCE\xC4\xB5\xD8\xD6\xB7=10.0.0.9", "10.0.0.9"},
        {"a zero byte ends the address", std::string("authip = 10.0\0.0.7", 18), "10.0"},
        {"a lone CR stays in the line", "authip = 1.2.3.4\r\r\n", "1.2.3.4\r"},
        {"the marker text itself", "authip = ini_invalid", "ini_invalid"},
        {"non-ASCII address bytes", "authip = \xB5\xD8\xD6\xB7\xA3\xBA\xFF", "\xB5\xD8\xD6\xB7\xA3\xBA\xFF"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.address, Parse(row.text)) << row.name;
}

TEST(AddressFileReaderTest, CtrlZEndsTheFile)
{
    // The Ctrl-Z that old editors and "copy /a" put at a file's end used to
    // stay in the address, which then named no server.
    EXPECT_EQ("10.0.0.5", Parse("serverip=10.0.0.5\x1A"));
    EXPECT_EQ("10.0.0.5", Parse("serverip=10.0.0.5\r\n\x1Aserverip=10.0.0.6\r\n"));
}

TEST(AddressFileReaderTest, AnOverlongLineEndsTheReading)
{
    std::string longLine = "authip = 10.1.1.1" + std::string(4983, 'x');  // 5000 characters
    EXPECT_EQ("10.1.1.1xxxxxxx", Parse(longLine + "\nauthip = 10.2.2.2\n"));
    // Exactly 1023 characters still is a whole line.
    std::string fits = "authip = 10.3.3.3" + std::string(1023 - 17, 'y');
    EXPECT_EQ("10.2.2.2", Parse(fits + "\r\nauthip = 10.2.2.2\n"));
    EXPECT_EQ("10.3.3.3yyyyyyy", Parse(fits));
}

TEST(AddressFileReaderTest, FedInPiecesAsInOne)
{
    std::string text = "authip = 10.0.0.1\r\nauthip = 10.0.0.2\r\n";
    for (size_t split = 0; split <= text.size(); ++split) {
        AddressFileReader reader;
        reader.Feed(text.data(), split);
        reader.Feed(text.data() + split, text.size() - split);
        EXPECT_EQ("10.0.0.2", reader.Finish()) << "split at " << split;
    }
}

bool GbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

TEST(AddressFileReaderTest, PathBesideTheProgram)
{
    EXPECT_EQ("C:\\Cafe\\authipconf.ini", AddressFileReader::PathBeside("C:\\Cafe\\wavorin.exe", GbkLeadByte));
    EXPECT_EQ("authipconf.ini", AddressFileReader::PathBeside("wavorin.exe", GbkLeadByte));
    // 0x5C is the second byte of this double-byte character, not a separator.
    EXPECT_EQ("C:\\\x95\\x\\authipconf.ini", AddressFileReader::PathBeside("C:\\\x95\\x\\w.exe", GbkLeadByte));
    EXPECT_EQ("C:\\authipconf.ini", AddressFileReader::PathBeside("C:\\\x95\\" "a.exe", GbkLeadByte));
    // A lead byte at the very end has no second byte.
    EXPECT_EQ("C:\\authipconf.ini", AddressFileReader::PathBeside("C:\\\x95", GbkLeadByte));
}

} // namespace
