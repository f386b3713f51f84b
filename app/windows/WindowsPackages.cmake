# What Windows users get, built on Linux (included by app/CMakeLists.txt):
#   windows_zip        Orvinel-<version>-windows-x64.zip, a folder Orvinel-<version>
#   windows_installer  Orvinel-<version>-setup.exe (NSIS, makensis)
# Both ship the one folder Bundle.cmake puts together, so they never differ.

# The platform plugin, the native style and the picture formats Qt does not
# build in; Qt finds them in these folders beside the program, so no qt.conf.
set(orvinel_windows_plugins
    Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin
    Qt6::QGifPlugin Qt6::QICOPlugin Qt6::QJpegPlugin)
set(orvinel_plugin_files)
foreach(plugin IN LISTS orvinel_windows_plugins)
    list(APPEND orvinel_plugin_files $<TARGET_FILE:${plugin}>)
endforeach()

# Where the DLLs the program loads are looked for: Qt's, libzip's (bin/ beside
# the lib/ it links from), then the compiler's runtime and mingw's own (zlib,
# winpthread).
set(orvinel_dll_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
get_target_property(orvinel_libzip PkgConfig::LIBZIP INTERFACE_LINK_LIBRARIES)
foreach(library IN LISTS orvinel_libzip)
    if(IS_ABSOLUTE ${library})
        get_filename_component(dir ${library}/../../bin ABSOLUTE)
        list(APPEND orvinel_dll_dirs ${dir})
    endif()
endforeach()
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-search-dirs
                OUTPUT_VARIABLE orvinel_search_dirs)
string(REGEX MATCH "libraries: =([^\n]*)" orvinel_search_dirs "${orvinel_search_dirs}")
string(REPLACE ":" ";" orvinel_search_dirs "${CMAKE_MATCH_1}")
foreach(dir IN LISTS orvinel_search_dirs)
    get_filename_component(dir ${dir} REALPATH)
    list(APPEND orvinel_dll_dirs ${dir})
endforeach()
list(REMOVE_DUPLICATES orvinel_dll_dirs)
set(ORVINEL_WINDOWS_DLL_DIRS "${orvinel_dll_dirs}"
    CACHE STRING "Folders the Windows packages take the program's DLLs from, first first")

set(orvinel_stage ${CMAKE_BINARY_DIR}/Orvinel-${PROJECT_VERSION})
set(orvinel_install_nsh ${CMAKE_CURRENT_BINARY_DIR}/windows/install.nsh)
set(orvinel_uninstall_nsh ${CMAKE_CURRENT_BINARY_DIR}/windows/uninstall.nsh)
set(orvinel_bundle_inputs ${CMAKE_CURRENT_BINARY_DIR}/windows/bundle-inputs.cmake)
file(GENERATE OUTPUT ${orvinel_bundle_inputs} CONTENT "\
set(PROGRAM [[$<TARGET_FILE:orvinel>]])
set(PLUGINS [[${orvinel_plugin_files}]])
set(GUIDE_DIR [[${orvinel_program_dir}/guide]])
set(GUIDE_FILES [[${orvinel_guide_outputs}]])
set(DLL_DIRS [[${ORVINEL_WINDOWS_DLL_DIRS}]])
set(OBJDUMP [[${CMAKE_OBJDUMP}]])
set(STRIP [[${CMAKE_STRIP}]])
set(STAGE [[${orvinel_stage}]])
set(INSTALL_NSH [[${orvinel_install_nsh}]])
set(UNINSTALL_NSH [[${orvinel_uninstall_nsh}]])
")
add_custom_command(OUTPUT ${orvinel_install_nsh} ${orvinel_uninstall_nsh}
                   COMMAND ${CMAKE_COMMAND} -DINPUTS=${orvinel_bundle_inputs}
                           -P ${CMAKE_CURRENT_SOURCE_DIR}/windows/Bundle.cmake
                   DEPENDS orvinel ${orvinel_guide_outputs} ${orvinel_plugin_files}
                           ${orvinel_bundle_inputs} ${CMAKE_CURRENT_SOURCE_DIR}/windows/Bundle.cmake
                   COMMENT "Putting together Orvinel-${PROJECT_VERSION}/ for Windows"
                   VERBATIM)

set(orvinel_zip ${CMAKE_BINARY_DIR}/Orvinel-${PROJECT_VERSION}-windows-x64.zip)
add_custom_command(OUTPUT ${orvinel_zip}
                   COMMAND ${CMAKE_COMMAND} -E rm -f ${orvinel_zip}
                   COMMAND ${CMAKE_COMMAND} -E tar cf ${orvinel_zip} --format=zip
                           Orvinel-${PROJECT_VERSION}
                   WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
                   DEPENDS ${orvinel_install_nsh}
                   COMMENT "Zipping Orvinel-${PROJECT_VERSION}-windows-x64.zip"
                   VERBATIM)
add_custom_target(windows_zip DEPENDS ${orvinel_zip})

find_program(ORVINEL_MAKENSIS makensis)
if(NOT ORVINEL_MAKENSIS)
    message(STATUS "makensis not found (Debian's nsis): no windows_installer target")
    return()
endif()
set(orvinel_setup ${CMAKE_BINARY_DIR}/Orvinel-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${orvinel_setup}
                   COMMAND ${ORVINEL_MAKENSIS} -V2 -INPUTCHARSET UTF8
                           -DVERSION=${PROJECT_VERSION}
                           -DVERSION4=${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0
                           -DHOMEPAGE=${ORVINEL_HOMEPAGE}
                           -DICON=${ORVINEL_ICON}
                           -DINSTALL_NSH=${orvinel_install_nsh}
                           -DUNINSTALL_NSH=${orvinel_uninstall_nsh}
                           -DOUTFILE=${orvinel_setup}
                           ${CMAKE_CURRENT_SOURCE_DIR}/windows/Orvinel.nsi
                   DEPENDS ${orvinel_install_nsh} ${orvinel_uninstall_nsh} ${ORVINEL_ICON}
                           ${CMAKE_CURRENT_SOURCE_DIR}/windows/Orvinel.nsi
                   COMMENT "Building the installer Orvinel-${PROJECT_VERSION}-setup.exe"
                   VERBATIM)
add_custom_target(windows_installer DEPENDS ${orvinel_setup})
