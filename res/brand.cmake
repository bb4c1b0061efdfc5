# The default brand: the ZEMBRIX VQ Series launcher.  Another product family
# gives its own file: cmake --preset win32 -DLAUNCHER_BRAND=path/to/brand.cmake
set(BRAND_TITLE "ZEMBRIX VQ Series Printer Driver Package")
set(BRAND_WINDOW_CLASS "Zembrix VQ Series Printer Driver Package")
set(BRAND_MUTEX "ZEMBRIX_VQ_PrinterDriver_Mutex")
set(BRAND_LOG_NAME "ZEMBRIX_VQ_PrinterDriver")
set(BRAND_ICON "printer.ico")
set(BRAND_COMPANY "ZEMBRIX")
set(BRAND_COPYRIGHT "Copyright (C) ZEMBRIX")
set(BRAND_VERSION "1.0.0.0")
# This product's version record as it has always shipped: the version texts
# "1.00", and no CompanyName or LegalCopyright.
set(BRAND_VERSION_TEXT "1.00")
set(BRAND_NAMES_MAKER OFF)
