# Puts together the folder that both the installer and the portable zip ship
# (`cmake -DINPUTS=<file> -P Bundle.cmake`, run by the windows_bundle rule in
# WindowsPackages.cmake): Orvinel.exe, the DLLs it loads, the Qt plugins and
# the user guide, stripped of debug information. Then it writes the NSIS lists
# that install and remove exactly these files.
#
# The DLLs are not listed by hand: they are the closure of the import tables
# of the program and its plugins, each DLL looked for in DLL_DIRS. What is not
# found there must be part of Windows itself; anything else stops the build,
# so a new dependency can never be left out unnoticed.
cmake_minimum_required(VERSION 3.25)
include(${INPUTS})
# PROGRAM, PLUGINS, GUIDE_DIR, GUIDE_FILES, DLL_DIRS, OBJDUMP, STRIP, STAGE,
# INSTALL_NSH, UNINSTALL_NSH

# DLLs every Windows 10 and 11 has; the api-ms-win-* names are its API sets.
set(system_dlls
    advapi32 authz bcrypt comdlg32 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 mpr msvcrt
    netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32
    wtsapi32)

# Lower-case DLL name -> path, first folder first, as Windows looks them up
# without regard to case.
foreach(dir IN LISTS DLL_DIRS)
    file(GLOB dlls ${dir}/*.dll ${dir}/*.DLL)
    foreach(dll IN LISTS dlls)
        get_filename_component(name ${dll} NAME)
        string(TOLOWER ${name} key)
        if(NOT DEFINED found_${key})
            set(found_${key} ${dll})
        endif()
    endforeach()
endforeach()

set(pending ${PROGRAM} ${PLUGINS})
set(seen)
set(runtime)
while(pending)
    list(POP_FRONT pending binary)
    execute_process(COMMAND ${OBJDUMP} -p ${binary} OUTPUT_VARIABLE imports
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${OBJDUMP} could not read ${binary}")
    endif()
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${imports}")
    foreach(line IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: " "" name "${line}")
        string(TOLOWER ${name} key)
        string(REGEX REPLACE "\\.dll$" "" base ${key})
        if(key IN_LIST seen OR base IN_LIST system_dlls OR key MATCHES "^(api|ext)-ms-win-")
            continue()
        endif()
        list(APPEND seen ${key})
        if(NOT DEFINED found_${key})
            message(FATAL_ERROR "${binary} needs ${name}, which is neither in "
                                "${DLL_DIRS} nor a DLL of Windows itself")
        endif()
        list(APPEND runtime ${found_${key}})
        list(APPEND pending ${found_${key}})
    endforeach()
endwhile()

# Relative path in the folder -> source.
set(entries)
get_filename_component(name ${PROGRAM} NAME)
list(APPEND entries "${name}|${PROGRAM}")
foreach(dll IN LISTS runtime)
    get_filename_component(name ${dll} NAME)
    list(APPEND entries "${name}|${dll}")
endforeach()
# Qt loads plugins from <program folder>/<kind>/, kind being the SDK's folder.
foreach(plugin IN LISTS PLUGINS)
    get_filename_component(name ${plugin} NAME)
    get_filename_component(kind ${plugin} DIRECTORY)
    get_filename_component(kind ${kind} NAME)
    list(APPEND entries "${kind}/${name}|${plugin}")
endforeach()
# Help looks for <program folder>/guide/index.html first.
foreach(file IN LISTS GUIDE_FILES)
    file(RELATIVE_PATH name ${GUIDE_DIR} ${file})
    list(APPEND entries "guide/${name}|${file}")
endforeach()

# A fresh folder each time, so nothing dropped from the list stays in it.
file(REMOVE_RECURSE ${STAGE})
set(files)
set(folders)
set(size 0)
foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 name)
    list(GET entry 1 source)
    get_filename_component(folder ${name} DIRECTORY)
    file(MAKE_DIRECTORY ${STAGE}/${folder})
    if(name MATCHES "\\.(exe|dll)$")
        execute_process(COMMAND ${STRIP} --strip-unneeded -o ${STAGE}/${name} ${source}
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "${STRIP} could not strip ${source}")
        endif()
    else()
        file(COPY_FILE ${source} ${STAGE}/${name})
    endif()
    file(SIZE ${STAGE}/${name} bytes)
    math(EXPR size "${size} + ${bytes}")
    list(APPEND files ${name})
    # Every folder on the way, so the uninstaller removes each of them.
    while(folder AND NOT folder IN_LIST folders)
        list(APPEND folders ${folder})
        get_filename_component(folder ${folder} DIRECTORY)
    endwhile()
endforeach()

# NSIS: File from the staged folder into $INSTDIR; Delete each file, then
# RMDir each folder, deepest first (never /r: files a user put there stay).
math(EXPR size_kb "(${size} + 1023) / 1024")
set(install "; Written by app/windows/Bundle.cmake: the files of ${STAGE}.\n")
string(APPEND install "!define ORVINEL_SIZE_KB ${size_kb}\n")
set(uninstall "; Written by app/windows/Bundle.cmake: removes what install.nsh installs.\n")
list(SORT files)
set(current_folder "-")
foreach(name IN LISTS files)
    get_filename_component(folder ${name} DIRECTORY)
    string(REPLACE "/" "\\" windows_name ${name})
    if(NOT "${folder}" STREQUAL "${current_folder}")
        string(REPLACE "/" "\\" windows_folder "${folder}")
        if(folder)
            string(APPEND install "SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
        else()
            string(APPEND install "SetOutPath \"$INSTDIR\"\n")
        endif()
        set(current_folder "${folder}")
    endif()
    string(APPEND install "File \"${STAGE}/${name}\"\n")
    string(APPEND uninstall "Delete \"$INSTDIR\\${windows_name}\"\n")
endforeach()
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
    string(REPLACE "/" "\\" windows_folder ${folder})
    string(APPEND uninstall "RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()
file(WRITE ${INSTALL_NSH} "${install}")
file(WRITE ${UNINSTALL_NSH} "${uninstall}")
