#include "tests/support/LogReader.h"

#include "tests/support/TempDir.h"

namespace testing_support {

std::string ReadLogText(const std::filesystem::path& file) {
    std::string bytes = ReadFileBytes(file);
    for (char& b : bytes) b = static_cast<char>(static_cast<unsigned char>(b) ^ 0x6D);
    return bytes;
}

std::vector<std::string> ReadLogMessages(const std::filesystem::path& file) {
    const std::string text = ReadLogText(file);
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.size() >= 21 && line[0] == '[' && line[20] == ']') line.erase(0, 21);
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

}  // namespace testing_support
