#pragma once

#include <cstddef>
#include <string>

// Reads the server address out of the text of authipconf.ini, fed in pieces
// as the file is read. Of each line the characters from index 9 on, at most
// 15 of them, are the address; the first nine are skipped unexamined and
// nothing is trimmed; the last line with an address wins. A line shorter than
// nine characters has no address and is passed over. A line longer than
// 1023 characters ends the reading after its first 1023 have been taken as a
// line. CR LF counts as a line break like LF alone. As in any text read on
// Windows, Ctrl-Z (0x1A) ends the file.
class AddressFileReader {
public:
    static constexpr size_t MaxLineLength = 1023;
    static constexpr size_t LabelLength = 9;
    static constexpr size_t AddressLength = 15;

    // The marker for "the file names no address".
    static const char* NoAddress() { return "ini_invalid"; }

    AddressFileReader();

    void Feed(const char* bytes, size_t count);
    // Ends the text and returns the address, or NoAddress().
    std::string Finish();

    // The text of a whole file at once.
    static std::string Parse(const char* text, size_t length);

    // The path of authipconf.ini beside the given program path: the path cut
    // after its last backslash, where a backslash that is the second byte of
    // a double-byte character does not count.
    static std::string PathBeside(const char* programPath, bool (*isLeadByte)(unsigned char));

private:
    void Put(char c);
    void EndLine();

    char line[MaxLineLength];
    size_t lineLength;
    bool carriageReturnHeld;
    bool stopped;
    std::string address;
};
