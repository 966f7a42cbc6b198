#include "tools/refserver/ServerRequest.h"

#include <cstdlib>

namespace refserver {

namespace {

bool IsBinary(unsigned char c)
{
    return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F;
}

// Exactly an optional minus sign and decimal digits, within 32 bits.
bool ReadSeq(const std::string& text, int32_t& value)
{
    size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (text.size() == start || text.size() > start + 10)
        return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    long long parsed = std::strtoll(text.c_str(), nullptr, 10);
    if (parsed < INT32_MIN || parsed > INT32_MAX)
        return false;
    value = int32_t(parsed);
    return true;
}

} // namespace

ServerRequest::Verdict ServerRequest::Parse(const std::string& bytes, ServerRequest& request)
{
    request = ServerRequest();
    if (bytes.size() > kMaxBytes)
        return Verdict::Oversized;
    for (unsigned char c : bytes) {
        if (IsBinary(c))
            return Verdict::Binary;
    }

    bool first = true;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (first) {
            request.command_ = line;
            first = false;
            continue;
        }
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = line.substr(0, colon);
        for (char& c : key) {
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
        }
        request.fields_[key] = line.substr(colon + 1);
    }
    if (request.command_.empty())
        return Verdict::Empty;

    if (const std::string* seq = request.Field("seq"))
        request.hasSeq_ = ReadSeq(*seq, request.seq_);
    return Verdict::Ok;
}

const std::string* ServerRequest::Field(const std::string& lowerKey) const
{
    auto found = fields_.find(lowerKey);
    return found == fields_.end() ? nullptr : &found->second;
}

} // namespace refserver
