/* Windows protected print mode as the launcher may learn it: combase's
 * runtime class WindowsProtectedPrintInfo (Windows 11 24H2 and later) and the
 * policy value in the registry (advapi32).  Both through GetProcAddress only. */
#include <objbase.h>
#include <standin.h>

#include <string.h>
#include <wchar.h>

using standin::Log;
using standin::state;

#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)

static const wchar_t kClass[] = L"Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo";
static const GUID kStatics = {0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};
static const char kPolicyKey[] = "Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
static const char kPolicyValue[] = "WindowsProtectedPrintGroupPolicyState";

/* An HSTRING: the text it holds. */
struct StandinString {
    std::wstring text;
};

static HRESULT WINAPI StandinWindowsCreateString(const WCHAR *text, UINT32 length, void **string)
{
    if (!string) return E_POINTER;
    *string = new StandinString{std::wstring(text, length)};
    return S_OK;
}

static HRESULT WINAPI StandinWindowsDeleteString(void *string)
{
    delete (StandinString *)string;
    return S_OK;
}

/* The statics object: IInspectable's six entries, then the property. */
struct Statics;
struct StaticsFunctions {
    HRESULT(WINAPI *QueryInterface)(Statics *self, const GUID *iid, void **object);
    ULONG(WINAPI *AddRef)(Statics *self);
    ULONG(WINAPI *Release)(Statics *self);
    void *GetIids, *GetRuntimeClassName, *GetTrustLevel;
    HRESULT(WINAPI *GetIsProtectedPrintEnabled)(Statics *self, BYTE *enabled);
};
struct Statics {
    const StaticsFunctions *functions;
    ULONG references;
};

static ULONG WINAPI StaticsRelease(Statics *self)
{
    ULONG left = --self->references;
    if (left == 0) delete self;
    state().protectedPrintObjects--;
    return left;
}

static HRESULT WINAPI StaticsEnabled(Statics *self, BYTE *enabled)
{
    (void)self;
    Log("IsProtectedPrintEnabled");
    *enabled = state().protectedPrintClass == 1;
    return S_OK;
}

static const StaticsFunctions kStaticsFunctions = {NULL, NULL, StaticsRelease, NULL, NULL, NULL, StaticsEnabled};

static HRESULT WINAPI StandinRoGetActivationFactory(void *classId, const GUID *iid, void **factory)
{
    Log("RoGetActivationFactory");
    *factory = NULL;
    if (state().comInitializations == 0) return CO_E_NOTINITIALIZED;
    if (state().protectedPrintFailure != 0) return state().protectedPrintFailure;
    if (state().protectedPrintClass < 0 || ((StandinString *)classId)->text != kClass) return REGDB_E_CLASSNOTREG;
    if (memcmp(iid, &kStatics, sizeof kStatics) != 0) return E_NOINTERFACE;
    *factory = new Statics{&kStaticsFunctions, 1};
    state().protectedPrintObjects++;
    return S_OK;
}

static char g_policyKey;

static LONG WINAPI StandinRegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY *result)
{
    (void)options;
    char line[64];
    snprintf(line, sizeof line, ",0x%X)", (unsigned)access);
    Log(std::string("RegOpenKeyExA(") + (subKey ? subKey : "") + line);
    if (key != HKEY_LOCAL_MACHINE || !subKey || strcasecmp(subKey, kPolicyKey) != 0 ||
        state().protectedPrintPolicy < 0)
        return ERROR_FILE_NOT_FOUND;
    *result = (HKEY)&g_policyKey;
    return ERROR_SUCCESS;
}

static LONG WINAPI StandinRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                          LPDWORD size)
{
    (void)reserved;
    if (key != (HKEY)&g_policyKey || !name || strcmp(name, kPolicyValue) != 0) return ERROR_FILE_NOT_FOUND;
    if (type) *type = REG_DWORD;
    if (*size < sizeof(DWORD)) {
        *size = sizeof(DWORD);
        return 234;  /* ERROR_MORE_DATA */
    }
    DWORD value = (DWORD)state().protectedPrintPolicy;
    memcpy(data, &value, sizeof value);
    *size = sizeof value;
    return ERROR_SUCCESS;
}

static LONG WINAPI StandinRegCloseKey(HKEY key) { return key == (HKEY)&g_policyKey ? ERROR_SUCCESS : 6; }

namespace standin {

FARPROC PolicyExport(HMODULE module, const char *name)
{
    if (module == LibraryModule("combase.dll")) {
        if (strcmp(name, "WindowsCreateString") == 0) return (FARPROC)(void (*)(void))StandinWindowsCreateString;
        if (strcmp(name, "WindowsDeleteString") == 0) return (FARPROC)(void (*)(void))StandinWindowsDeleteString;
        if (strcmp(name, "RoGetActivationFactory") == 0)
            return (FARPROC)(void (*)(void))StandinRoGetActivationFactory;
    }
    if (module == LibraryModule("advapi32.dll")) {
        if (strcmp(name, "RegOpenKeyExA") == 0) return (FARPROC)(void (*)(void))StandinRegOpenKeyExA;
        if (strcmp(name, "RegQueryValueExA") == 0) return (FARPROC)(void (*)(void))StandinRegQueryValueExA;
        if (strcmp(name, "RegCloseKey") == 0) return (FARPROC)(void (*)(void))StandinRegCloseKey;
    }
    return NULL;
}

}  // namespace standin
