/* The main frame window: the launcher's top-level window, holding the page. */
#ifndef UI_FRAME_H
#define UI_FRAME_H

#include <windows.h>

#include "brand.h"

#define WINDOW_CLASS_NAME BRAND_WINDOW_CLASS

/* The launcher's top-level window, and the driver selection page inside it;
 * written when CreateFrameWindow makes them. */
extern HWND g_frameWindow;
extern HWND g_pageWindow;

/* Registers the frame's window class.  Returns non-zero on success. */
ATOM RegisterFrameClass(HINSTANCE instance);

/* Creates the frame with its page, the page's group box captioned with
 * modelCaption; centres it, shows it with showCommand and takes Maximize and
 * Size from its system menu.  Returns the frame, or NULL when it cannot be
 * made (no message). */
HWND CreateFrameWindow(HINSTANCE instance, int showCommand, const char *modelCaption);

#endif
