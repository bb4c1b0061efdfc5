# A brand for the tests only: every name differs from the default brand's, so
# a branded build shows whether anything of the default is left in it.
set(BRAND_TITLE "BRANDTEST QX Series Printer Drivers")
set(BRAND_WINDOW_CLASS "Brandtest QX Setup Frame")
set(BRAND_MUTEX "BRANDTEST_QX_Setup_Mutex")
set(BRAND_LOG_NAME "BRANDTEST_QX_Setup")
set(BRAND_ICON "test.ico")
set(BRAND_COMPANY "Brandtest Devices")
set(BRAND_COPYRIGHT "Copyright (C) Brandtest Devices")
set(BRAND_VERSION "2.4.0.17")
