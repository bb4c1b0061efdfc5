/* The printer the stand-in Add Printer wizard adds: a real spooler entry on
 * Wine's PostScript driver, so EnumPrintersA counts it. */
#ifndef E2E_TOOLS_WIZARD_PRINTER_H
#define E2E_TOOLS_WIZARD_PRINTER_H

/* Adds the driver and a printer named name on port FILE:.  Returns 1 on
 * success; on failure writes the step and the error into detail. */
int AddWizardPrinter(const char *name, char *detail, unsigned detailSize);

/* Deletes the printer named name.  Returns 1 on success; on failure writes
 * the step and the error into detail. */
int RemoveWizardPrinter(const char *name, char *detail, unsigned detailSize);

#endif
