#include "install/protected_print.h"

#include <windows.h>

#include "common/launch_log.h"
#include "common/shell_functions.h"
#include "common/system_library.h"

/* Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo
 * ("WindowsProtectedPrintInfo Class", Windows 11 24H2 and later): its static
 * IsProtectedPrintEnabled, reached through combase's RoGetActivationFactory. */
static const WCHAR PROTECTED_PRINT_CLASS[] = L"Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo";

/* IWindowsProtectedPrintInfoStatics, as the Windows SDK declares it. */
static const GUID PROTECTED_PRINT_STATICS = {
    0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};

/* The interface: IInspectable's six functions, then the property. */
struct ProtectedPrintStatics;
struct ProtectedPrintStaticsFunctions {
    HRESULT(WINAPI *QueryInterface)(ProtectedPrintStatics *self, const GUID *iid, void **object);
    ULONG(WINAPI *AddRef)(ProtectedPrintStatics *self);
    ULONG(WINAPI *Release)(ProtectedPrintStatics *self);
    void *GetIids, *GetRuntimeClassName, *GetTrustLevel;
    HRESULT(WINAPI *GetIsProtectedPrintEnabled)(ProtectedPrintStatics *self, BYTE *enabled);
};
struct ProtectedPrintStatics {
    const ProtectedPrintStaticsFunctions *functions;
};

typedef HRESULT(WINAPI *WindowsCreateStringFunction)(const WCHAR *text, UINT32 length, void **string);
typedef HRESULT(WINAPI *WindowsDeleteStringFunction)(void *string);
typedef HRESULT(WINAPI *RoGetActivationFactoryFunction)(void *classId, const GUID *iid, void **factory);

/* The policy "Configure Windows protected print" (Policy CSP - Printers):
 * 1 when an administrator turned it on. */
#define POLICY_KEY "Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP"
#define POLICY_VALUE "WindowsProtectedPrintGroupPolicyState"

typedef LONG(WINAPI *RegOpenKeyExFunction)(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, HKEY *result);
typedef LONG(WINAPI *RegQueryValueExFunction)(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                              LPDWORD size);
typedef LONG(WINAPI *RegCloseKeyFunction)(HKEY key);

enum Answer { ANSWER_NONE, ANSWER_OFF, ANSWER_ON };

/* Asks the static class, with COM up on this thread.  ANSWER_NONE where
 * Windows has no such class (before Windows 11 24H2) or no combase. */
static Answer AskStaticClass(void)
{
    WindowsCreateStringFunction createString =
        (WindowsCreateStringFunction)FindSystemFunction("combase.dll", "WindowsCreateString");
    WindowsDeleteStringFunction deleteString =
        (WindowsDeleteStringFunction)FindSystemFunction("combase.dll", "WindowsDeleteString");
    RoGetActivationFactoryFunction getFactory =
        (RoGetActivationFactoryFunction)FindSystemFunction("combase.dll", "RoGetActivationFactory");
    void *className = NULL;
    if (!createString || !deleteString || !getFactory ||
        FAILED(createString(PROTECTED_PRINT_CLASS, sizeof PROTECTED_PRINT_CLASS / sizeof(WCHAR) - 1, &className)))
        return ANSWER_NONE;
    ProtectedPrintStatics *statics = NULL;
    HRESULT found = getFactory(className, &PROTECTED_PRINT_STATICS, (void **)&statics);
    deleteString(className);
    if (FAILED(found) || !statics) return ANSWER_NONE;
    BYTE enabled = 0;
    HRESULT asked = statics->functions->GetIsProtectedPrintEnabled(statics, &enabled);
    statics->functions->Release(statics);
    if (FAILED(asked)) return ANSWER_NONE;
    return enabled ? ANSWER_ON : ANSWER_OFF;
}

/* Reads the policy value from the 64-bit view of the registry, which a
 * 32-bit process under WOW64 asks for with KEY_WOW64_64KEY ("Accessing an
 * Alternate Registry View").  Missing: off. */
static Answer ReadPolicy(void)
{
    RegOpenKeyExFunction openKey = (RegOpenKeyExFunction)FindSystemFunction("advapi32.dll", "RegOpenKeyExA");
    RegQueryValueExFunction queryValue =
        (RegQueryValueExFunction)FindSystemFunction("advapi32.dll", "RegQueryValueExA");
    RegCloseKeyFunction closeKey = (RegCloseKeyFunction)FindSystemFunction("advapi32.dll", "RegCloseKey");
    HKEY key = NULL;
    if (!openKey || !queryValue || !closeKey ||
        openKey(HKEY_LOCAL_MACHINE, POLICY_KEY, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return ANSWER_OFF;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG read = queryValue(key, POLICY_VALUE, NULL, &type, (LPBYTE)&value, &size);
    closeKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && value == 1 ? ANSWER_ON : ANSWER_OFF;
}

int ProtectedPrintOn(void)
{
    int com = StartComApartment();
    Answer answer = AskStaticClass();
    if (com) StopComApartment();
    if (answer != ANSWER_NONE) {
        LogLine("Windows protected print mode: %s (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)",
                answer == ANSWER_ON ? "on" : "off");
        return answer == ANSWER_ON;
    }
    answer = ReadPolicy();
    LogLine("Windows protected print mode: %s (policy value " POLICY_VALUE ")", answer == ANSWER_ON ? "on" : "off");
    return answer == ANSWER_ON;
}
