/* The process's entry point, in place of the run-time library's start-up:
 * the launcher needs nothing that start-up prepares (no constructors, no
 * thread-local storage, no standard streams, no argv), and leaving it out
 * keeps the executable small.  It hands WinMain its arguments as that
 * start-up does and ends the process with WinMain's result. */
#include <windows.h>

/* The command line after the program's name and the blanks behind it. */
static LPSTR SkipProgramName(LPSTR line)
{
    if (*line == '"') {
        line++;
        while (*line && *line != '"') line++;
        if (*line == '"') line++;
    } else {
        while ((unsigned char)*line > ' ') line++;
    }
    while (*line && (unsigned char)*line <= ' ') line++;
    return line;
}

/* The system calls the entry with the stack aligned for 32-bit code only. */
extern "C" __attribute__((force_align_arg_pointer)) void WINAPI LauncherEntry(void)
{
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, SkipProgramName(GetCommandLineA()), showCommand));
}
