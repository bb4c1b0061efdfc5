/* The main frame window: the launcher's top-level window. */
#ifndef UI_FRAME_H
#define UI_FRAME_H

#include <windows.h>

/* The launcher's top-level window, and the driver selection page inside it. */
extern HWND g_frameWindow;
extern HWND g_pageWindow;

/* Registers the frame's window class.  Returns non-zero on success. */
ATOM RegisterFrameClass(HINSTANCE instance);

/* Creates and shows the frame.  Returns 1 when the message loop may run, 0
 * when the launch must end (any message already shown). */
int CreateFrameWindow(HINSTANCE instance, int showCommand);

#endif
