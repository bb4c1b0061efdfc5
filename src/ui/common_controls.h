/* The common controls library, loaded from the system folder when the page is built. */
#ifndef UI_COMMON_CONTROLS_H
#define UI_COMMON_CONTROLS_H

/* Loads comctl32.dll by its full system path and calls its InitCommonControls
 * (exported by ordinal).  Does nothing when the library or the entry is missing. */
void InitSystemCommonControls(void);

#endif
