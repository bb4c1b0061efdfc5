/* Telling which of the four standard icons a message box shows.  The icon
 * belongs to another process, so its handle cannot be read here; instead the
 * icon control's pixels on screen are compared with each standard icon drawn
 * by this process on the same background. */
#ifndef E2E_UIDRIVER_ICON_KIND_H
#define E2E_UIDRIVER_ICON_KIND_H

#include <windows.h>

struct IconVerdict {
    const char *kind;    /* "error", "warning", "information", "question", "none" or "occluded" */
    long difference;     /* differing pixels against the closest standard icon */
    long runnerUp;       /* differing pixels against the second closest */
};

/* Classifies the icon in the static control iconControl of top-level window box. */
void ClassifyIcon(HWND box, HWND iconControl, IconVerdict *verdict);

#endif
