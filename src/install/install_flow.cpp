#include "install/install_flow.h"

#include "ui/frame.h"

/* Until the installation itself is built, OK ends the launch as every
 * installation does: the destroy notification goes straight to the frame. */
void RunInstallationFlow(HWND page)
{
    (void)page;
    SendMessageA(g_frameWindow, WM_DESTROY, 0, 0);
}
