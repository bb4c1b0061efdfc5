#include "install/protected_print.h"

#include <windows.h>

#include "common/launch_log.h"
#include "common/shell_functions.h"
#include "common/system_library.h"
#include "common/system_probes.h"

#define FIRST_BUILD_WITH_CLASS 26100

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

/* Asks the static class, with COM up on this thread.  ANSWER_NONE with the
 * failure's HRESULT in *failure where it cannot be asked. */
static Answer AskStaticClass(HRESULT *failure)
{
    WindowsCreateStringFunction createString =
        (WindowsCreateStringFunction)FindSystemFunction("combase.dll", "WindowsCreateString");
    WindowsDeleteStringFunction deleteString =
        (WindowsDeleteStringFunction)FindSystemFunction("combase.dll", "WindowsDeleteString");
    RoGetActivationFactoryFunction getFactory =
        (RoGetActivationFactoryFunction)FindSystemFunction("combase.dll", "RoGetActivationFactory");
    *failure = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    if (!createString || !deleteString || !getFactory) return ANSWER_NONE;
    void *className = NULL;
    *failure = createString(PROTECTED_PRINT_CLASS, sizeof PROTECTED_PRINT_CLASS / sizeof(WCHAR) - 1, &className);
    if (FAILED(*failure)) return ANSWER_NONE;
    ProtectedPrintStatics *statics = NULL;
    *failure = getFactory(className, &PROTECTED_PRINT_STATICS, (void **)&statics);
    deleteString(className);
    if (FAILED(*failure) || !statics) return ANSWER_NONE;
    BYTE enabled = 0;
    *failure = statics->functions->GetIsProtectedPrintEnabled(statics, &enabled);
    statics->functions->Release(statics);
    if (FAILED(*failure)) return ANSWER_NONE;
    return enabled ? ANSWER_ON : ANSWER_OFF;
}

/* Windows 11 24H2 (build 26100) brought the class; before it there is none
 * to ask, and COM is not started for nothing. */
static int ClassMayExist(void)
{
    DWORD major, minor, build;
    if (!QueryRealVersion(&major, &minor, &build)) return 0;
    return major > 10 || (major == 10 && build >= FIRST_BUILD_WITH_CLASS);
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
    if (ClassMayExist()) {
        HRESULT failure = S_OK;
        int com = StartComApartment();
        Answer answer = AskStaticClass(&failure);
        if (com) StopComApartment();
        if (answer != ANSWER_NONE) {
            LogLine("Windows protected print mode: %s (WindowsProtectedPrintInfo.IsProtectedPrintEnabled)",
                    answer == ANSWER_ON ? "on" : "off");
            return answer == ANSWER_ON;
        }
        /* Where the class exists, a failure tells nothing: not "off". */
        LogLine("Windows protected print mode: cannot tell (WindowsProtectedPrintInfo: HRESULT 0x%08lX)",
                (unsigned long)(DWORD)failure);
    }
    Answer answer = ReadPolicy();
    LogLine("Windows protected print mode: %s (policy value " POLICY_VALUE ")", answer == ANSWER_ON ? "on" : "off");
    return answer == ANSWER_ON;
}
