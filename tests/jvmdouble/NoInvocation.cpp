// A loadable library that is not a Java runtime: it exports no JNI_CreateJavaVM.
#include <jni.h>

extern "C" JNIEXPORT int KestropNotARuntime() {
    return 0;
}
