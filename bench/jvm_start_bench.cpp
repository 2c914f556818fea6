// Time from CreateJarAndRun to the first line of the Java entry method, against the java
// command running the same class to the same line, alternately, in the same run. The test
// application prints System.nanoTime() first thing; on Linux that is the steady clock here.
// Usage: jvm_start_bench [rounds]   (default 10; lite mode off, as by default)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "javahost/ArchiveStaging.h"
#include "platform/Codepage.h"

extern char** environ;

namespace {

long long Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs argv with its output into a pipe; returns the output, or empty on failure.
std::string Run(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0)
        return std::string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        out.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    if (rc != 0)
        return std::string();
    int status = 0;
    waitpid(pid, &status, 0);
    return out;
}

long long Value(const std::string& out, const char* key) {
    const size_t at = out.find(key);
    return at == std::string::npos ? -1 : std::atoll(out.c_str() + at + std::strlen(key));
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const std::string jdkRuntime = KESTROP_JDK_HOME "/lib/server/libjvm.so";
    if (argc == 2 && std::string(argv[1]) == "--host") {
        // One start, in the working folder the orchestrating run made current.
        std::printf("start %lld\n", Now());
        std::fflush(stdout);
        return CreateJarAndRun(platform::Utf8ToWide(jdkRuntime).c_str(), u"app.jar", u"");
    }
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kestrop-jvm-start-bench";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    {
        std::ifstream in(KESTROP_TEST_APP_JAR, std::ios::binary);
        std::string jar((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (char& b : jar)
            b = static_cast<char>(static_cast<unsigned char>(b) ^ kJarKey);
        std::ofstream("app.jar", std::ios::binary) << jar;
    }

    // The java command with the heap the launcher asks for, too: committing a 1 GiB heap up
    // front is part of what the launcher's start costs.
    const std::vector<std::string> javaPlain = {KESTROP_JDK_HOME "/bin/java", "-cp",
                                                KESTROP_TEST_APP_JAR, "zobj.Run"};
    const std::vector<std::string> javaSameHeap = {
        KESTROP_JDK_HOME "/bin/java", "-Xms1024m", "-Xmx1024m", "-cp",
        KESTROP_TEST_APP_JAR,         "zobj.Run"};
    std::vector<double> ours, theirs, theirsSameHeap;
    for (int r = 0; r < rounds; ++r) {
        const std::string host = Run({self, "--host"});
        const long long start = Value(host, "start "), entered = Value(host, "entered ");
        if (start < 0 || entered < 0) {
            std::fprintf(stderr, "no first line:\n%s\n", host.c_str());
            return 1;
        }
        ours.push_back(static_cast<double>(entered - start) / 1e6);
        for (auto* java : {&javaPlain, &javaSameHeap}) {
            const long long before = Now();
            const std::string out = Run(*java);
            const long long javaEntered = Value(out, "entered ");
            if (javaEntered < 0) {
                std::fprintf(stderr, "no first line:\n%s\n", out.c_str());
                return 1;
            }
            (java == &javaPlain ? theirs : theirsSameHeap)
                .push_back(static_cast<double>(javaEntered - before) / 1e6);
        }
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);

    std::printf("%d rounds, alternating; milliseconds to the entry method's first line\n", rounds);
    std::printf("CreateJarAndRun:        median %.1f  best %.1f\n", Median(ours),
                *std::min_element(ours.begin(), ours.end()));
    std::printf("java -cp <jar> zobj.Run: median %.1f  best %.1f\n", Median(theirs),
                *std::min_element(theirs.begin(), theirs.end()));
    std::printf("java -Xms1024m -Xmx1024m -cp <jar> zobj.Run: median %.1f  best %.1f\n",
                Median(theirsSameHeap),
                *std::min_element(theirsSameHeap.begin(), theirsSameHeap.end()));
    std::printf("ratio (ours / java -cp <jar>, medians): %.2f\n", Median(ours) / Median(theirs));
    return 0;
}
