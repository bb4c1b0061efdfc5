/* Identifiers shared by setup.rc and the code.  The numbers are fixed by the product. */
#ifndef RESOURCE_H
#define RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Icon */
#define IDI_PRINTER 204

/* Dialog templates: the notice, the driver selection page the launcher loads,
 * and the page's variants for other packages (two models, a language list,
 * two models in monochrome and colour). */
#define IDD_PAGE_TWO_MODELS 201
#define IDD_NOTICE 205
#define IDD_PAGE_LANGUAGE 214
#define IDD_PAGE_TWO_MODELS_ALT 218
#define IDD_PAGE_FOUR_DRIVERS 219
#define IDD_PAGE 220

/* Notice dialog controls (OK and CANCEL are IDOK and IDCANCEL). */
#define IDC_NOTICE_INFO_ICON 1270
#define IDC_NOTICE_TEXT 1271
#define IDC_NOTICE_WARNING_TEXT 1272
#define IDC_NOTICE_WARNING_ICON 1273

/* Driver selection page controls (CANCEL is IDCANCEL). */
#define IDC_PAGE_INSTRUCTION 1269
#define IDC_PAGE_MODEL_GROUP 1273
#define IDC_LANGUAGE_LIST 1275
#define IDC_PAGE_OK 1276
#define IDC_NETWORK_PORT 4010
#define IDC_DRIVER_PACKAGE 4030
#define IDC_DRIVER_THIRD 4031
#define IDC_DRIVER_SECOND 4040
#define IDC_DRIVER_FOURTH 4041

/* The brand's title and version (brand.h is written at configure time). */
#include "brand.h"
#define VERSION_NUMBER BRAND_VERSION_NUMBERS
#define VERSION_TEXT BRAND_VERSION_TEXT
#define PRODUCT_TITLE BRAND_TITLE

#endif
