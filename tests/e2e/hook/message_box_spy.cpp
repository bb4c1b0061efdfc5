#include "hook/message_box_spy.h"

#include <string.h>
#include <windows.h>

#include "common/json_line.h"
#include "hook/hook_reply.h"
#include "common/text.h"

typedef int(WINAPI *MessageBoxFunction)(HWND, LPCSTR, LPCSTR, UINT);

static MessageBoxFunction g_realMessageBox;

/* Appends text and a newline to the file at path. */
static void AppendLine(const char *path, const char *text)
{
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
}

static int WINAPI SpyMessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    char path[MAX_PATH];
    if (EnvText("E2E_BOX_SPY_LOG", path, sizeof path)) {
        static JsonLine line;
        JsonBegin(&line);
        JsonHex(&line, "owner", (unsigned long long)(ULONG_PTR)owner);
        JsonHex(&line, "type", type);
        JsonString(&line, "text", text ? text : "");
        JsonFinish(&line);
        AppendLine(path, line.text);
    }
    return g_realMessageBox(owner, text, caption, type);
}

/* Points every import slot of the executable that holds MessageBoxA at the
 * spy.  Returns the number of slots changed. */
static int RedirectMessageBoxImports(void)
{
    g_realMessageBox = (MessageBoxFunction)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "MessageBoxA");
    BYTE *image = (BYTE *)GetModuleHandleA(NULL);
    if (!g_realMessageBox || !image) return 0;
    const IMAGE_NT_HEADERS *headers = (const IMAGE_NT_HEADERS *)(image + ((const IMAGE_DOS_HEADER *)image)->e_lfanew);
    const IMAGE_DATA_DIRECTORY *imports = &headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports->VirtualAddress) return 0;
    int patched = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR *module = (const IMAGE_IMPORT_DESCRIPTOR *)(image + imports->VirtualAddress);
         module->Name; ++module) {
        for (IMAGE_THUNK_DATA *slot = (IMAGE_THUNK_DATA *)(image + module->FirstThunk); slot->u1.Function; ++slot) {
            if (slot->u1.Function != (ULONG_PTR)g_realMessageBox) continue;
            DWORD protection = 0;
            if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection)) continue;
            slot->u1.Function = (ULONG_PTR)SpyMessageBoxA;
            VirtualProtect(slot, sizeof *slot, protection, &protection);
            ++patched;
        }
    }
    return patched;
}

/* The spy must outlive the driver's hook, which unloads the DLL it loaded. */
static void KeepLoaded(void)
{
    HMODULE self = NULL;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       (LPCSTR)(void *)SpyMessageBoxA, &self);
}

static void InstallAndReply(HWND window, HWND replyTo)
{
    static int patched = -1;
    if (patched < 0) {
        patched = RedirectMessageBoxImports();
        KeepLoaded();
    }
    static JsonLine line;
    JsonBegin(&line);
    JsonString(&line, "event", "box_spy");
    JsonNumber(&line, "patched", patched);
    JsonFinish(&line);
    SendHookReply(replyTo, window, E2E_BOX_SPY_REPLY, line.text);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK E2eBoxSpyHook(int code, WPARAM removal, LPARAM data)
{
    MSG *message = (MSG *)data;
    static UINT install = RegisterWindowMessageA(E2E_BOX_SPY_INSTALL);
    if (code == HC_ACTION && removal == PM_REMOVE && message->message == install) {
        InstallAndReply(message->hwnd, (HWND)message->wParam);
        message->message = WM_NULL; /* the window itself never sees the request */
    }
    return CallNextHookEx(NULL, code, removal, data);
}
