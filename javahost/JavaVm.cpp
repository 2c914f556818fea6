#include "javahost/JavaVm.h"

#include <jni.h>

#include <iterator>
#include <string>

#include "env/Log.h"
#include "env/WorkingFolder.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "platform/JavaRuntime.h"

CString g_szTempJarPath;

namespace {

using CreateJavaVmProc = jint(JNICALL*)(JavaVM**, void**, void*);

constexpr const char* kMainClass = "zobj/Run";
constexpr const char* kEntryMethod = "runWithPath";
constexpr const char* kEntrySignature = "(Ljava/lang/String;)V";

struct HeapOptions {
    const char* initial;
    const char* maximum;
};
constexpr HeapOptions kLiteHeap = {"-Xms512m", "-Xmx512m"};
constexpr HeapOptions kFullHeap = {"-Xms1024m", "-Xmx1024m"};

bool IsSeparator(char16_t ch) {
    return ch == u'\\' || ch == u'/';
}

// The class-path option in wide text, as it is also logged. The library list comes from the
// server ';'-separated on every target and takes this target's separator.
CString ClassPathOption(const CString& tempJar, const char16_t* libList) {
    CString libraries(libList);
    libraries.Replace(u';', platform::kClassPathSeparator);
    CString option(u"-Djava.class.path=.");
    option += platform::kClassPathSeparator;
    option += tempJar;
    option += platform::kClassPathSeparator;
    option += libraries;
    return option;
}

// Destroys the machine after a failed lookup. The runtime stays loaded: it is not made to
// unload under threads of its own that may still be ending.
int Abandon(JavaVM* vm, platform::DynamicLibrary& runtime, int result) {
    vm->DestroyJavaVM();
    runtime.KeepLoaded();
    return result;
}

}  // namespace

CString JvmLoadFolder(const CString& jvmPath) {
    int seen = 0;
    for (int i = jvmPath.GetLength() - 1; i >= 0; --i) {
        if (IsSeparator(jvmPath[i]) && ++seen == 2)
            return jvmPath.Left(i);
    }
    return jvmPath;
}

platform::DynamicLibrary LoadJvmLibrary(const char16_t* path) {
    const CString previous = platform::GetCurrentDir();
    // A folder that cannot be entered is no reason not to try the load.
    platform::SetCurrentDir(JvmLoadFolder(CString(path)));
    platform::DynamicLibrary runtime;
    runtime.Load(path);
    platform::SetCurrentDir(previous);
    return runtime;
}

int CreateJvmAndRun(const char16_t* jvmPath, const char16_t* libList) {
    const CString classPath = ClassPathOption(g_szTempJarPath, libList);
    std::string classPathText = platform::WideToAnsi(classPath.View());
    theLog.Write(u"jvm param:%s", classPath);

    const HeapOptions& heap = g_bLiteMode ? kLiteHeap : kFullHeap;
    std::string optionText[] = {"-Djava.compiler=NONE", std::move(classPathText), "-verbose:NONE",
                                heap.initial, heap.maximum};
    JavaVMOption options[std::size(optionText)] = {};
    for (size_t i = 0; i < std::size(optionText); ++i)
        options[i].optionString = optionText[i].data();
    JavaVMInitArgs args = {};
    args.version = JNI_VERSION_1_8;
    args.nOptions = static_cast<jint>(std::size(options));
    args.options = options;
    args.ignoreUnrecognized = JNI_TRUE;

    theLog.Write(u"start load jvm dll.");
    platform::DynamicLibrary runtime = LoadJvmLibrary(jvmPath);
    theLog.Write(u"load jvm dll complete!!!");
    if (!runtime.IsLoaded()) {
        theLog.Write(u"load jvm.dll fail!!! path = %s, code=%d", jvmPath, runtime.GetLoadError());
        return kJvmLoadFailed;
    }

    theLog.Write(u"start create java vm.");
    const auto create = reinterpret_cast<CreateJavaVmProc>(runtime.Symbol("JNI_CreateJavaVM"));
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    jint created = JNI_ERR;
    if (create != nullptr) {
        created = create(&vm, reinterpret_cast<void**>(&env), &args);
    } else {
        theLog.Write(u"JNI_CreateJavaVM not found in %s", jvmPath);
    }
    theLog.Write(u"create java vm now!!!");
    if (created < 0 || vm == nullptr || env == nullptr) {
        theLog.Write(u"create java vm fail!!!");
        runtime.KeepLoaded();
        return kJvmCreateFailed;
    }

    theLog.Write(u"find main class");
    const jclass mainClass = env->FindClass(kMainClass);
    if (mainClass == nullptr) {
        theLog.Write(u"FindClass zobj/Run failed\n");
        return Abandon(vm, runtime, kJvmNoMainClass);
    }
    theLog.Write(u"find main mathod");
    const jmethodID entry = env->GetStaticMethodID(mainClass, kEntryMethod, kEntrySignature);
    if (entry == nullptr) {
        theLog.Write(u"getMethodID runWithPath failed");
        return Abandon(vm, runtime, kJvmNoEntryMethod);
    }

    // The whole path, however long: the application finds its installation by it.
    const CString exePath = platform::GetModuleFilePath();
    const jstring pathArg =
        env->NewString(reinterpret_cast<const jchar*>(exePath.GetString()), exePath.GetLength());
    // The application's whole life; returns when its entry method does.
    env->CallStaticVoidMethod(mainClass, entry, pathArg);
    theLog.Write(u"load jar success");
    // Waits for the application's remaining non-daemon threads.
    vm->DestroyJavaVM();
    runtime.Free();
    return kJvmRan;
}
