// A stand-in for the Java runtime's virtual-machine library. It exports JNI_CreateJavaVM as a
// runtime does, records every invocation and environment call it receives, and can be told to
// fail at each step of a start. Tests reach its record and its switch through two plain
// exports of their own, from a second load of the same file.
// This file is the implementation side of the invocation API: its declarations export.
#define _JNI_IMPLEMENTATION_
#include <jni.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string g_record;
std::string g_failAt;  // "create", "class", "method" or empty

void Record(const std::string& line) {
    g_record += line;
    g_record += '\n';
}

std::string Utf8(const jchar* text, jsize length) {
    std::string out;
    for (jsize i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The current directory while the loader runs this library's initialisers.
struct LoadWitness {
    LoadWitness() {
        std::error_code error;
        const std::filesystem::path cwd = std::filesystem::current_path(error);
        const std::u8string text = cwd.u8string();
        Record("load cwd=" + std::string(text.begin(), text.end()));
    }
} g_loadWitness;

// Distinct non-null handles that the calls below can recognise again.
struct FakeObject {
    std::string text;
};
FakeObject g_mainClass{"class zobj/Run"};
FakeObject g_entryMethod{"method runWithPath"};
FakeObject g_pathString;

jclass JNICALL FindClass(JNIEnv*, const char* name) {
    Record(std::string("FindClass ") + name);
    if (g_failAt == "class")
        return nullptr;
    return reinterpret_cast<jclass>(&g_mainClass);
}

jmethodID JNICALL GetStaticMethodID(JNIEnv*, jclass cls, const char* name, const char* sig) {
    const bool known = cls == reinterpret_cast<jclass>(&g_mainClass);
    Record(std::string("GetStaticMethodID ") + (known ? "" : "<unknown class> ") + name + " " +
           sig);
    if (g_failAt == "method")
        return nullptr;
    return reinterpret_cast<jmethodID>(&g_entryMethod);
}

jstring JNICALL NewString(JNIEnv*, const jchar* text, jsize length) {
    g_pathString.text = Utf8(text, length);
    Record("NewString " + g_pathString.text);
    return reinterpret_cast<jstring>(&g_pathString);
}

void JNICALL CallStaticVoidMethodV(JNIEnv*, jclass cls, jmethodID method, va_list args) {
    const jstring arg = va_arg(args, jstring);
    const bool known = cls == reinterpret_cast<jclass>(&g_mainClass) &&
                       method == reinterpret_cast<jmethodID>(&g_entryMethod) &&
                       arg == reinterpret_cast<jstring>(&g_pathString);
    Record(std::string("CallStaticVoidMethod ") +
           (known ? "runWithPath " + g_pathString.text : std::string("<unknown arguments>")));
}

jint JNICALL DestroyJavaVM(JavaVM*) {
    Record("DestroyJavaVM");
    return JNI_OK;
}

// Every other slot stays null: a call the launcher should not make crashes the test.
JNINativeInterface_ MakeEnvTable() {
    JNINativeInterface_ table = {};
    table.FindClass = FindClass;
    table.GetStaticMethodID = GetStaticMethodID;
    table.NewString = NewString;
    table.CallStaticVoidMethodV = CallStaticVoidMethodV;
    return table;
}
JNIInvokeInterface_ MakeVmTable() {
    JNIInvokeInterface_ table = {};
    table.DestroyJavaVM = DestroyJavaVM;
    return table;
}
const JNINativeInterface_ g_envTable = MakeEnvTable();
const JNIInvokeInterface_ g_vmTable = MakeVmTable();
JNIEnv g_env{&g_envTable};
JavaVM g_vm{&g_vmTable};

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** env, void* startArgs) {
    const auto* args = static_cast<const JavaVMInitArgs*>(startArgs);
    char head[128];
    std::snprintf(head, sizeof head,
                  "JNI_CreateJavaVM version=0x%08x options=%d ignoreUnrecognized=%d",
                  static_cast<unsigned>(args->version), static_cast<int>(args->nOptions),
                  static_cast<int>(args->ignoreUnrecognized));
    Record(head);
    for (jint i = 0; i < args->nOptions; ++i) {
        Record(std::string("option ") + args->options[i].optionString +
               (args->options[i].extraInfo ? " <extraInfo>" : ""));
    }
    if (g_failAt == "create")
        return JNI_ERR;
    *vm = &g_vm;
    *env = &g_env;
    return JNI_OK;
}

// The calls so far, one per line.
JNIEXPORT const char* KestropJvmDouble_Record() {
    return g_record.c_str();
}

// Which step fails from now on: "create", "class", "method", or "" for none.
JNIEXPORT void KestropJvmDouble_FailAt(const char* step) {
    g_failAt = step ? step : "";
}

}  // extern "C"
