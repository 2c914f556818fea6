// One start of the Java application as the launch window makes it, by an executable that a
// test has copied into an installation folder of its own (the runtime is looked for beside
// it). A runtime creates one virtual machine per process, so every start is a process.
// Usage: kestrop_jvm_host ARCHIVE LIBRARY-LIST lite|full    Exit code: the launch result.
#include <string>

#include "env/WorkingFolder.h"
#include "javahost/ArchiveStaging.h"
#include "javahost/JvmPath.h"
#include "platform/Codepage.h"

// The runtime's own allocations outlive the process's end and are no leaks of ours.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char** argv) {
    if (argc != 4)
        return 64;
    g_bLiteMode = std::string(argv[3]) == "lite";
    const CString archive(platform::Utf8ToWide(argv[1]));
    const CString libraries(platform::Utf8ToWide(argv[2]));
    return CreateJarAndRun(GetJvmPath(), archive, libraries);
}
