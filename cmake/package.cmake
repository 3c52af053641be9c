# The release package of the Windows build: `cpack` in the build directory (or
# scripts/package.sh) makes halvern-<version>-win32.zip (win64 for a 64-bit build), laid out as
# the user unpacks it into the simulator directory: the module in Modules\, the two internet
# shortcuts the module's links open, the command-line tool halvern.exe (its diagnostics answer
# "why is my airport not shown?"), the user guide and the licence. Text files get the CR LF
# line ends of Windows.

set(package_files ${CMAKE_BINARY_DIR}/package)

install(TARGETS halvern_module RUNTIME DESTINATION Modules)
# The tool lies beside the guide, not in Modules\, where the host would take it for a module.
install(TARGETS halvern RUNTIME DESTINATION .)

# One shortcut file per address; the shell reads [InternetShortcut] with URL=.
foreach(shortcut "Halvern Homepage|HALVERN_HOMEPAGE_URL" "Tavrel Software|HALVERN_MAKER_URL")
    string(REPLACE "|" ";" shortcut "${shortcut}")
    list(GET shortcut 0 shortcut_name)
    list(GET shortcut 1 shortcut_setting)
    set(HALVERN_SHORTCUT_URL "${${shortcut_setting}}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/internet-shortcut.url.in
                   "${package_files}/${shortcut_name}.url" @ONLY NEWLINE_STYLE CRLF)
    install(FILES "${package_files}/${shortcut_name}.url" DESTINATION .)
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/packaging/user-guide.txt.in
               "${package_files}/Halvern User Guide.txt" @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE "${package_files}/Halvern License.txt" @ONLY
               NEWLINE_STYLE CRLF)
install(FILES "${package_files}/Halvern User Guide.txt" "${package_files}/Halvern License.txt"
        DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(package_platform win64)
else()
    set(package_platform win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Halvern)
set(CPACK_PACKAGE_VENDOR "Tavrel Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME halvern-${PROJECT_VERSION}-${package_platform})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
