// Hashes one large file with CMD5Checksum and, in the same run, with md5sum, and prints both
// throughputs. Usage: md5_bench [size-in-MiB] [folder]   (defaults: 256, the system temp folder)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "net/MD5Checksum.h"
#include "platform/Codepage.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Narrow(const CString& s) {
    return platform::WideToUtf8(s.View());
}

}  // namespace

int main(int argc, char** argv) {
    const size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    const std::filesystem::path folder =
        argc > 2 ? argv[2] : std::filesystem::temp_directory_path();
    const std::filesystem::path file = folder / "kestrop-md5-bench.bin";
    {
        std::mt19937_64 random(42);
        std::vector<unsigned long long> block(1 << 17);  // 1 MiB
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (size_t i = 0; i < mib; ++i) {
            for (auto& w : block)
                w = random();
            out.write(reinterpret_cast<const char*>(block.data()),
                      static_cast<std::streamsize>(block.size() * 8));
        }
    }
    const CString wide(platform::Utf8ToWide(file.string()));
    constexpr int kRounds = 3;

    double ours = 1e9;
    CString digest;
    for (int r = 0; r < kRounds; ++r) {
        CFile in(wide, CFile::modeRead);
        const auto start = Clock::now();
        digest = CMD5Checksum::GetMD5(in);
        ours = std::min(ours, Seconds(start));
    }

    double theirs = 1e9;
    std::string theirDigest;
    const std::string command = "md5sum '" + file.string() + "'";
    for (int r = 0; r < kRounds; ++r) {
        const auto start = Clock::now();
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return 1;
        char line[256] = {};
        if (std::fgets(line, sizeof line, pipe))
            theirDigest.assign(line, 32);
        pclose(pipe);
        theirs = std::min(theirs, Seconds(start));
    }
    std::filesystem::remove(file);

    const double size = static_cast<double>(mib);
    std::printf("file: %zu MiB, best of %d runs each\n", mib, kRounds);
    std::printf("CMD5Checksum::GetMD5: %.3f s  %.0f MiB/s  %s\n", ours, size / ours,
                Narrow(digest).c_str());
    std::printf("md5sum:               %.3f s  %.0f MiB/s  %s\n", theirs, size / theirs,
                theirDigest.c_str());
    std::printf("ratio (ours / md5sum throughput): %.2f\n", theirs / ours);
    return Narrow(digest) == theirDigest ? 0 : 2;
}
