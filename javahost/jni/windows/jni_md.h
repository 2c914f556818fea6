/* The machine-dependent part of JNI for Windows, which the JDK installed on the build machine
   does not ship: exports are dllexport, every JNI function is __stdcall (the only convention
   on 64-bit Windows anyway), jint is a 32-bit long on both widths. It is found before the
   JDK's include folder, so the JDK's jni.h picks this one up. */
#ifndef KESTROP_JNI_MD_H
#define KESTROP_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif
