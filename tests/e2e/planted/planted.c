/*
 * A planted DLL for the DLL-planting test.  Built once per name of a DLL that
 * the launcher or a tool it starts may load; copied into the launch folder.
 * When any process loads it, it writes "<its own path>.loaded" holding the
 * path of the process that loaded it, and then does nothing else.
 *
 * It takes its few functions from KERNELBASE (or, for the copy named
 * kernelbase.dll, from KERNEL32), so that a copy named kernel32.dll does not
 * import from itself.
 */
#include <windows.h>

/* comctl32's InitCommonControls (ordinal 17), so that an executable importing
 * it from a planted copy still starts and the marker tells the story. */
void WINAPI InitCommonControls(void) {}

BOOL WINAPI InitCommonControlsEx(const void *controls)
{
    (void)controls;
    return TRUE;
}

static void WriteMarker(HINSTANCE self)
{
    static const char suffix[] = ".loaded";
    char marker[MAX_PATH + sizeof suffix];
    char process[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    for (DWORD i = 0; i < sizeof suffix; i++) marker[length + i] = suffix[i];
    DWORD processLength = GetModuleFileNameA(NULL, process, MAX_PATH);
    if (processLength >= MAX_PATH) processLength = 0;
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    SetFilePointer(file, 0, NULL, FILE_END);
    WriteFile(file, process, processLength, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
    return TRUE;
}
