/* kernel32 subset: the system folder, loading its libraries, their exports, Sleep. */
#include <objbase.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <standin.h>

#include <string.h>
#include <strings.h>

#include <map>

using standin::Log;
using standin::state;

#define ERROR_BAD_EXE_FORMAT 193L
#define E_INVALIDARG_STANDIN ((HRESULT)0x80070057L)
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    Log("GetSystemDirectoryA");
    if (state().systemDirectoryFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    const std::string &dir = state().systemDirectory;
    /* Too small a buffer: nothing is written, the result is the size needed. */
    if (dir.size() + 1 > size) return (UINT)dir.size() + 1;
    memcpy(buffer, dir.c_str(), dir.size() + 1);
    return (UINT)dir.size();
}

/* Module tokens by lower-case file name; comctl32's exports are modelled. */
static std::map<std::string, struct HINSTANCE__> g_modules;

static std::string Lower(std::string text)
{
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

/* Loads only the libraries listed in the system folder, named by their full
 * path.  A 32-bit process under WOW64 whose thread has redirection off finds
 * the 64-bit file there, which it cannot load: "DLL loading depends on file
 * system redirection" (Wow64DisableWow64FsRedirection). */
HMODULE WINAPI LoadLibraryA(LPCSTR fileName)
{
    std::string path = fileName ? fileName : "";
    Log("LoadLibraryA(" + path + ")");
    std::string folder = state().systemDirectory + "\\";
    if (state().isWow64 && state().redirectionDisabled) {
        state().loadsWithRedirectionOff.push_back(path);
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return NULL;
    }
    if (path.size() > folder.size() && strncasecmp(path.c_str(), folder.c_str(), folder.size()) == 0) {
        std::string name = Lower(path.substr(folder.size()));
        for (const std::string &library : state().systemLibraries)
            if (Lower(library) == name) return &g_modules[name];
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return NULL;
}

HMODULE standin::LibraryModule(const std::string &fileName) { return &g_modules[Lower(fileName)]; }

/* ole32's COM initialisation of the calling thread: each successful call,
 * S_FALSE included, wants its CoUninitialize. */
static HRESULT WINAPI StandinCoInitializeEx(LPVOID reserved, DWORD model)
{
    Log("CoInitializeEx(" + std::to_string(model) + ")");
    if (reserved) return E_INVALIDARG_STANDIN;
    if (state().comInitializations > 0 && (state().comModel & COINIT_APARTMENTTHREADED) !=
                                              (model & COINIT_APARTMENTTHREADED))
        return RPC_E_CHANGED_MODE;
    if (state().comInitializations++ > 0) return S_FALSE;
    state().comModel = model;
    return S_OK;
}

static void WINAPI StandinCoUninitialize(void)
{
    Log("CoUninitialize");
    if (state().comInitializations > 0) state().comInitializations--;
}

FARPROC standin::ShellExport(HMODULE module, const char *name)
{
    if (module == &g_modules["shlwapi.dll"]) {
        if (strcmp(name, "PathFileExistsA") == 0) return (FARPROC)(void (*)(void))PathFileExistsA;
        if (strcmp(name, "PathIsUNCA") == 0) return (FARPROC)(void (*)(void))PathIsUNCA;
    }
    if (module == &g_modules["shell32.dll"] && strcmp(name, "ShellExecuteExA") == 0)
        return (FARPROC)(void (*)(void))ShellExecuteExA;
    if (module == &g_modules["ole32.dll"]) {
        if (strcmp(name, "CoInitializeEx") == 0) return (FARPROC)(void (*)(void))StandinCoInitializeEx;
        if (strcmp(name, "CoUninitialize") == 0) return (FARPROC)(void (*)(void))StandinCoUninitialize;
    }
    return NULL;
}

static void WINAPI StandinInitCommonControls(void) { Log("InitCommonControls"); }

FARPROC standin::ProcByOrdinal(HMODULE module, WORD ordinal)
{
    Log("GetProcAddress(#" + std::to_string(ordinal) + ")");
    if (module == &g_modules["comctl32.dll"] && ordinal == 17) return (FARPROC)(void (*)(void))StandinInitCommonControls;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return NULL;
}

/* Records the time asked for; the host does not wait. */
void WINAPI Sleep(DWORD milliseconds)
{
    Log("Sleep(" + std::to_string(milliseconds) + ")");
    state().sleptMilliseconds += milliseconds;
}
