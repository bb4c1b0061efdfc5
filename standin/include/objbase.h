/* Host stand-in for <objbase.h>: COM initialisation on the calling thread.
 * The functions are reached through ole32.dll's exports only. */
#ifndef STANDIN_OBJBASE_H
#define STANDIN_OBJBASE_H

#include <windows.h>

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? (HRESULT)(x) : (HRESULT)(((x) & 0x0000FFFF) | (7 << 16) | 0x80000000))

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4

#endif
