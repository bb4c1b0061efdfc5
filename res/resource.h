/* Identifiers shared by setup.rc and the code.  The numbers are fixed by the product. */
#ifndef RESOURCE_H
#define RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Icon */
#define IDI_PRINTER 204

/* Version record */
#define VERSION_NUMBER 1, 0, 0, 0
#define VERSION_TEXT "1.00"
#define PRODUCT_TITLE "ZEMBRIX VQ Series Printer Driver Package"

#endif
