/* Windows protected print mode: with it on, Windows uses only the printer
 * drivers that come with it, so no package's driver can serve a printer. */
#ifndef INSTALL_PROTECTED_PRINT_H
#define INSTALL_PROTECTED_PRINT_H

/* Returns 1 when protected print mode is on.  The log names what told it:
 * Windows' own answer where it has one (Windows 11 24H2 and later), else the
 * policy value; where the class exists but cannot be asked, the log says so
 * with the HRESULT, and the policy value decides. */
int ProtectedPrintOn(void);

#endif
