/* The host API that vorda calls back into: a host that loads vorda provides
 * tarnapi.dll with these 14 operations. vorda links against an import
 * library made from its own description of them (src/host/tarnapi.def). */
#ifndef VORDA_TARNAPI_H
#define VORDA_TARNAPI_H

#ifdef __cplusplus
extern "C" {
#endif

#ifndef TARN_API
#define TARN_API __declspec(dllimport) __cdecl
#endif

typedef unsigned int HostObject;

int TARN_API tarnObjectError(HostObject obj, const char* message);
int TARN_API tarnObjectGetObject(HostObject obj, const char* name, int zero, int index, HostObject* out);
int TARN_API tarnObjectGetLong(HostObject obj, const char* name, int zero, int index, int* out);
int TARN_API tarnObjectGetDouble(HostObject obj, const char* name, int zero, int index, double* out);
int TARN_API tarnObjectGetSize(HostObject obj, const char* name, int zero, int index, int* out);
int TARN_API tarnObjectSetLong(HostObject obj, const char* name, int zero, int index, int value);
int TARN_API tarnObjectSetString(HostObject obj, const char* name, int zero, int index, const char* bytes, int count);
int TARN_API tarnObjectSetCString(HostObject obj, const char* name, int zero, int index, const char* text);
int TARN_API tarnObjectCallSub(HostObject obj, const char* routine);
int TARN_API tarnObjectDelete(HostObject obj);
int TARN_API tarnChannelDataSeek(HostObject channel, int scan, const char* mode);
int TARN_API tarnChannelGetDataDouble(HostObject channel, int count, double* destination);
HostObject TARN_API tarnProgressNew(HostObject obj, const char* caption);
int TARN_API tarnProgress(HostObject progress, double done, double total);

#ifdef __cplusplus
}
#endif

#endif
