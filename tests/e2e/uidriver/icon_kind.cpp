#include "uidriver/icon_kind.h"

#include <limits.h>
#include <string.h>

#define ICON_SIDE_MAX 64

struct IconSample {
    DWORD pixels[ICON_SIDE_MAX * ICON_SIDE_MAX];
    int width;
    int height;
};

struct StandardIcon {
    const char *kind;
    LPCSTR resource;
};

static const StandardIcon kStandardIcons[] = {
    {"error", IDI_HAND},
    {"warning", IDI_EXCLAMATION},
    {"information", IDI_ASTERISK},
    {"question", IDI_QUESTION},
};

/* A 32-bit top-down DIB section of the sample's size, selected into a memory DC. */
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    DWORD *bits;
};

static int OpenCanvas(Canvas *canvas, int width, int height)
{
    BITMAPINFO info;
    memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    canvas->dc = CreateCompatibleDC(NULL);
    void *bits = NULL;
    canvas->bitmap = CreateDIBSection(canvas->dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!canvas->bitmap) {
        DeleteDC(canvas->dc);
        return 0;
    }
    canvas->bits = (DWORD *)bits;
    canvas->previous = SelectObject(canvas->dc, canvas->bitmap);
    return 1;
}

static void CloseCanvas(Canvas *canvas)
{
    SelectObject(canvas->dc, canvas->previous);
    DeleteObject(canvas->bitmap);
    DeleteDC(canvas->dc);
}

/* Copies the pixels of rect from the screen into sample. */
static int CaptureScreenRect(const RECT *rect, IconSample *sample)
{
    Canvas canvas;
    if (!OpenCanvas(&canvas, sample->width, sample->height)) return 0;
    HDC screen = GetDC(NULL);
    BOOL copied = BitBlt(canvas.dc, 0, 0, sample->width, sample->height, screen, rect->left, rect->top, SRCCOPY);
    ReleaseDC(NULL, screen);
    GdiFlush();
    if (copied) memcpy(sample->pixels, canvas.bits, sizeof(DWORD) * sample->width * sample->height);
    CloseCanvas(&canvas);
    return copied != 0;
}

/* Draws icon at the top left of a canvas filled with background, into sample. */
static int RenderIcon(HICON icon, DWORD background, IconSample *sample)
{
    Canvas canvas;
    if (!OpenCanvas(&canvas, sample->width, sample->height)) return 0;
    for (int i = 0; i < sample->width * sample->height; ++i) canvas.bits[i] = background;
    DrawIconEx(canvas.dc, 0, 0, icon, 0, 0, 0, NULL, DI_NORMAL);
    GdiFlush();
    memcpy(sample->pixels, canvas.bits, sizeof(DWORD) * sample->width * sample->height);
    CloseCanvas(&canvas);
    return 1;
}

static long CountDifferences(const IconSample *a, const IconSample *b)
{
    long differences = 0;
    for (int i = 0; i < a->width * a->height; ++i)
        if ((a->pixels[i] & 0xFFFFFF) != (b->pixels[i] & 0xFFFFFF)) ++differences;
    return differences;
}

/* True when a visible top-level window above box in z-order covers part of rect. */
static int IsCovered(HWND box, const RECT *rect)
{
    for (HWND above = GetWindow(box, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT other, overlap;
        if (IsWindowVisible(above) && GetWindowRect(above, &other) && IntersectRect(&overlap, &other, rect)) return 1;
    }
    return 0;
}

/* Fills the verdict from one capture; returns 1 when some icon matched exactly. */
static int CompareWithStandardIcons(const IconSample *screen, IconVerdict *verdict)
{
    static IconSample drawn;
    drawn.width = screen->width;
    drawn.height = screen->height;
    verdict->kind = "none";
    verdict->difference = LONG_MAX;
    verdict->runnerUp = LONG_MAX;
    for (const StandardIcon &standard : kStandardIcons) {
        if (!RenderIcon(LoadIconA(NULL, standard.resource), screen->pixels[0], &drawn)) continue;
        long differences = CountDifferences(screen, &drawn);
        if (differences < verdict->difference) {
            verdict->runnerUp = verdict->difference;
            verdict->difference = differences;
            verdict->kind = standard.kind;
        } else if (differences < verdict->runnerUp) {
            verdict->runnerUp = differences;
        }
    }
    return verdict->difference == 0;
}

void ClassifyIcon(HWND box, HWND iconControl, IconVerdict *verdict)
{
    verdict->kind = "none";
    verdict->difference = -1;
    verdict->runnerUp = -1;
    RECT rect;
    if (!iconControl || !GetWindowRect(iconControl, &rect)) return;
    /* A centred image (SS_CENTERIMAGE) sits in the middle of a larger control. */
    if (GetWindowLongA(iconControl, GWL_STYLE) & SS_CENTERIMAGE) {
        int iconWidth = GetSystemMetrics(SM_CXICON), iconHeight = GetSystemMetrics(SM_CYICON);
        if (rect.right - rect.left > iconWidth) rect.left += (rect.right - rect.left - iconWidth) / 2;
        if (rect.bottom - rect.top > iconHeight) rect.top += (rect.bottom - rect.top - iconHeight) / 2;
        rect.right = rect.left + iconWidth;
        rect.bottom = rect.top + iconHeight;
    }
    /* Under Wine with no window manager, a window of the launcher activated
     * late (after another program's window closed) may cover the box for a
     * moment: wait for the stacking to settle before calling it occluded. */
    for (int attempt = 0; IsCovered(box, &rect); ++attempt) {
        if (attempt == 20) {
            verdict->kind = "occluded";
            return;
        }
        Sleep(50);
    }
    static IconSample screen;
    screen.width = rect.right - rect.left < ICON_SIDE_MAX ? rect.right - rect.left : ICON_SIDE_MAX;
    screen.height = rect.bottom - rect.top < ICON_SIDE_MAX ? rect.bottom - rect.top : ICON_SIDE_MAX;
    if (screen.width <= 0 || screen.height <= 0) return;
    /* The box may still be painting when it is found: give it a few tries. */
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (CaptureScreenRect(&rect, &screen) && CompareWithStandardIcons(&screen, verdict)) return;
        Sleep(50);
    }
}
