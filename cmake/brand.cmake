# The product family's brand: the title, window class, mutex, log name, icon
# and version record one launcher carries, from one brand file of set() lines
# (LAUNCHER_BRAND; without it the default brand, res/brand.cmake).  The file
# is checked here, at configure time, and written out as
#   <output>/brand.h     the texts as C string macros, for the code and setup.rc
#   <output>/brand.json  the same for the Python suites
# Included by the build with BRAND_OUTPUT_DIR set, or run alone to check a file:
#   cmake -DLAUNCHER_BRAND=FILE -DBRAND_OUTPUT_DIR=DIR -P cmake/brand.cmake

get_filename_component(BRAND_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(NOT LAUNCHER_BRAND)
    set(LAUNCHER_BRAND "${BRAND_SOURCE_DIR}/res/brand.cmake")
endif()
get_filename_component(LAUNCHER_BRAND "${LAUNCHER_BRAND}" ABSOLUTE BASE_DIR "${BRAND_SOURCE_DIR}")
if(NOT EXISTS "${LAUNCHER_BRAND}")
    message(FATAL_ERROR "Brand file ${LAUNCHER_BRAND}: not found")
endif()

set(BRAND_KEYS TITLE WINDOW_CLASS MUTEX LOG_NAME ICON COMPANY COPYRIGHT VERSION)
foreach(key ${BRAND_KEYS} VERSION_TEXT NAMES_MAKER)
    unset(BRAND_${key})
endforeach()
include("${LAUNCHER_BRAND}")

function(brand_refuse key why)
    message(FATAL_ERROR "Brand file ${LAUNCHER_BRAND}: BRAND_${key} ${why}")
endfunction()

# The launcher's texts are ANSI, read in each PC's own code page: plain ASCII
# only, and no double quote or backslash, which would end or escape the
# string they are written into.
foreach(key ${BRAND_KEYS} VERSION_TEXT)
    set(value "${BRAND_${key}}")
    if(value STREQUAL "" AND NOT key STREQUAL "VERSION_TEXT")
        brand_refuse(${key} "is missing or empty")
    endif()
    string(REGEX MATCH "[^ -~]" outside "${value}")
    if(NOT outside STREQUAL "")
        brand_refuse(${key} "holds a byte outside printable ASCII")
    endif()
    string(FIND "${value}" "\"" quote)
    string(FIND "${value}" "\\" backslash)
    if(NOT quote EQUAL -1 OR NOT backslash EQUAL -1)
        brand_refuse(${key} "holds a double quote or a backslash")
    endif()
endforeach()

# The mutex name (Global\ goes in front of it on the NT family) and the log's
# name are names of objects and files: no character a file name may not hold.
foreach(key MUTEX LOG_NAME)
    string(REGEX MATCH "[/:*?<>|]" forbidden "${BRAND_${key}}")
    if(NOT forbidden STREQUAL "")
        brand_refuse(${key} "holds \"${forbidden}\", which a file name may not")
    endif()
endforeach()

if(NOT BRAND_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    brand_refuse(VERSION "is not four numbers a.b.c.d")
endif()
set(BRAND_VERSION_NUMBERS "")
set(numbers "${CMAKE_MATCH_1};${CMAKE_MATCH_2};${CMAKE_MATCH_3};${CMAKE_MATCH_4}")
foreach(number ${numbers})
    if(number GREATER 65535 OR number MATCHES "^0[0-9]")
        brand_refuse(VERSION "holds ${number}: each number is 0 to 65535, without leading zeros")
    endif()
    list(APPEND BRAND_VERSION_NUMBERS "${number}")
endforeach()
list(JOIN BRAND_VERSION_NUMBERS ", " BRAND_VERSION_NUMBERS)

# Optional: the text of the version strings (the four numbers unless given),
# and whether the version record names the maker (CompanyName, LegalCopyright).
if("${BRAND_VERSION_TEXT}" STREQUAL "")
    set(BRAND_VERSION_TEXT "${BRAND_VERSION}")
endif()
if(NOT DEFINED BRAND_NAMES_MAKER)
    set(BRAND_NAMES_MAKER ON)
endif()
if(BRAND_NAMES_MAKER)
    set(BRAND_NAMES_MAKER_VALUE 1)
else()
    set(BRAND_NAMES_MAKER_VALUE 0)
endif()

get_filename_component(brand_dir "${LAUNCHER_BRAND}" DIRECTORY)
get_filename_component(BRAND_ICON_PATH "${BRAND_ICON}" ABSOLUTE BASE_DIR "${brand_dir}")
if(NOT EXISTS "${BRAND_ICON_PATH}" OR IS_DIRECTORY "${BRAND_ICON_PATH}")
    brand_refuse(ICON "names ${BRAND_ICON_PATH}, which is no file")
endif()

if(BRAND_OUTPUT_DIR)
    configure_file("${BRAND_SOURCE_DIR}/res/brand.h.in" "${BRAND_OUTPUT_DIR}/brand.h" @ONLY)
    configure_file("${BRAND_SOURCE_DIR}/res/brand.json.in" "${BRAND_OUTPUT_DIR}/brand.json" @ONLY)
endif()
