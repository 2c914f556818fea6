// Reads back a t.log: unscrambles it and splits it into lines without their time stamps.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// The file's bytes XORed with the log mask: the ANSI text as written.
std::string ReadLogText(const std::filesystem::path& file);
// Each CR LF-terminated line with its "[YYYY-MM-DD hh:mm:ss]" prefix removed, as UTF-8 on
// Linux and as the ANSI bytes on Windows.
std::vector<std::string> ReadLogMessages(const std::filesystem::path& file);

}  // namespace testing_support
