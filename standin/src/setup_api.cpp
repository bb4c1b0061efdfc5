/* setupapi.dll's reading of a published INF (reached only through
 * GetProcAddress): "SetupQueryInfOriginalFileInformation" gives the name the
 * INF had before SetupCopyOEMInf published it as oemN.inf, which Windows
 * keeps beside it. */
#include <setupapi.h>
#include <standin.h>

#include <string.h>
#include <sys/stat.h>

using standin::Log;
using standin::state;

#define ERROR_INVALID_USER_BUFFER 1784L

static std::string Lower(std::string text)
{
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

/* The information of one INF: its path is kept after the header. */
static BOOL WINAPI StandinSetupGetInfInformationA(LPCVOID spec, DWORD search, PSP_INF_INFORMATION buffer, DWORD size,
                                                  PDWORD needed)
{
    const char *path = (const char *)spec;
    Log(std::string("SetupGetInfInformationA(") + (path ? path : "NULL") + ")");
    std::string host;
    struct stat info;
    if (!path || search != INFINFO_INF_NAME_IS_ABSOLUTE || !standin::HostPath(path, &host) ||
        stat(host.c_str(), &info) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    DWORD required = (DWORD)(offsetof(SP_INF_INFORMATION, VersionData) + strlen(path) + 1);
    if (needed) *needed = required;
    if (!buffer || size < required) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    buffer->InfStyle = 2;  /* INF_STYLE_WIN4 */
    buffer->InfCount = 1;
    memcpy(buffer->VersionData, path, strlen(path) + 1);
    return TRUE;
}

/* The original name Windows kept (originalInfNames, by the published file's
 * lower-case name), else the file's own. */
static BOOL WINAPI StandinSetupQueryInfOriginalFileInformationA(PSP_INF_INFORMATION information, UINT index,
                                                               PSP_ALTPLATFORM_INFO platform,
                                                               PSP_ORIGINAL_FILE_INFO_A original)
{
    (void)platform;
    Log("SetupQueryInfOriginalFileInformationA");
    if (!information || index >= information->InfCount || !original ||
        original->cbSize != sizeof(SP_ORIGINAL_FILE_INFO_A)) {
        SetLastError(original && original->cbSize != sizeof(SP_ORIGINAL_FILE_INFO_A) ? ERROR_INVALID_USER_BUFFER
                                                                                     : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = (const char *)information->VersionData;
    std::string name = path.substr(path.find_last_of('\\') + 1);
    auto kept = state().originalInfNames.find(Lower(name));
    std::string originalName = kept == state().originalInfNames.end() ? name : kept->second;
    snprintf(original->OriginalInfName, MAX_PATH, "%s", originalName.c_str());
    original->OriginalCatalogName[0] = '\0';
    return TRUE;
}

namespace standin {

FARPROC SetupApiExport(HMODULE module, const char *name)
{
    if (module != LibraryModule("setupapi.dll")) return NULL;
    if (strcmp(name, "SetupGetInfInformationA") == 0)
        return (FARPROC)(void (*)(void))StandinSetupGetInfInformationA;
    if (strcmp(name, "SetupQueryInfOriginalFileInformationA") == 0)
        return (FARPROC)(void (*)(void))StandinSetupQueryInfOriginalFileInformationA;
    return NULL;
}

}  // namespace standin
