# Kvistel installed on Windows: the program with the Qt and MinGW runtime it needs beside it, the
# example home directory and the licence, all in one folder; an installer (cpack -G NSIS: Start
# menu entry, uninstaller) and a zip of the same folder that runs where it is unpacked
# (cpack -G ZIP). tools/windows.sh builds both.
set(KVISTEL_QT_WINDOWS_DIR "${Qt6_DIR}/../../.." CACHE PATH "Qt for Windows, as cross-built")
get_filename_component(qt "${KVISTEL_QT_WINDOWS_DIR}" ABSOLUTE)
set(KVISTEL_MINGW_RUNTIME
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
    /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
    /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
    CACHE STRING "The MinGW-w64 runtime libraries the program needs")

# The icon inside kvistel.exe: an ICO of the PNGs drawn from the SVG for the window icon.
find_program(KVISTEL_IMAGEMAGICK convert REQUIRED)
set(icon_dir ${PROJECT_BINARY_DIR}/src/gui/shared/icon)
set(KVISTEL_WINDOWS_ICON ${CMAKE_CURRENT_BINARY_DIR}/kvistel.ico)
add_custom_command(OUTPUT ${KVISTEL_WINDOWS_ICON}
    COMMAND ${KVISTEL_IMAGEMAGICK} ${icon_dir}/kvistel-16.png ${icon_dir}/kvistel-24.png
        ${icon_dir}/kvistel-32.png ${icon_dir}/kvistel-48.png ${icon_dir}/kvistel-64.png
        ${icon_dir}/kvistel-256.png ${KVISTEL_WINDOWS_ICON}
    DEPENDS kvistel_gui_shared
    COMMENT "Ikonen för Windows (ICO)")
add_custom_target(kvistel_windows_icon DEPENDS ${KVISTEL_WINDOWS_ICON})
# Each program's icon and file properties (company, description, version) as Explorer shows them.
string(REPLACE "." "," KVISTEL_WINDOWS_VERSION "${PROJECT_VERSION}.0.0")
foreach(program kvistel kvistel-batch)
    if(program STREQUAL "kvistel")
        set(KVISTEL_WINDOWS_DESCRIPTION "Kvistel - värdering av stående träd")
    else()
        set(KVISTEL_WINDOWS_DESCRIPTION "Kvistel för kommandoraden (--batch)")
    endif()
    set(KVISTEL_WINDOWS_PROGRAM ${program})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/kvistel.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc
        @ONLY)
    add_dependencies(${program} kvistel_windows_icon)
    target_sources(${program} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${program}.rc)
endforeach()

install(TARGETS kvistel kvistel-batch RUNTIME DESTINATION .)
# What kvistel.exe loads (x86_64-w64-mingw32-objdump -p kvistel.exe | grep "DLL Name").
install(FILES ${qt}/bin/Qt6Core.dll ${qt}/bin/Qt6Gui.dll ${qt}/bin/Qt6Widgets.dll
    ${qt}/bin/Qt6Concurrent.dll ${qt}/bin/Qt6PrintSupport.dll ${KVISTEL_MINGW_RUNTIME}
    DESTINATION .)
# MinGW's C++ library comes with its debugging symbols (21 of its 23 MB): stripped once
# installed. Qt's libraries were stripped when Qt was built.
foreach(dll ${KVISTEL_MINGW_RUNTIME})
    get_filename_component(name ${dll} NAME)
    install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${name}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()
install(FILES ${qt}/plugins/platforms/qwindows.dll DESTINATION platforms)
# The look of Windows 10 and 11 rather than Qt's plain Windows style.
install(FILES ${qt}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qt.conf DESTINATION .)
# Qt's own Swedish texts for its dialogs and standard buttons, as on Debian.
foreach(qm qt_sv.qm qtbase_sv.qm)
    if(EXISTS /usr/share/qt6/translations/${qm})
        install(FILES /usr/share/qt6/translations/${qm} DESTINATION translations)
    endif()
endforeach()
# A home directory to copy: Kvistel starts only where a control file already is.
# Found by the program beside itself (exempel\), wherever it was installed, and copied from there
# into a folder of the user's: nobody works inside Program Files.
install(FILES ${PROJECT_SOURCE_DIR}/sample/trad.sty ${PROJECT_SOURCE_DIR}/sample/priser_ac.txt
    ${PROJECT_SOURCE_DIR}/sample/bestand.csv
    DESTINATION exempel)
# The licence under a name that Windows opens with a text editor; the installer's licence page
# says in Swedish what it means and points to it.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_PACKAGE_NAME kvistel)
set(CPACK_PACKAGE_VENDOR "Kvistel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kvistel - värdera ett stående träd")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Kvistel")
# The licence page: the GPL is published in English only, so the page states in Swedish what it
# gives the user (UTF-8 with a byte order mark, as makensis reads text for a Unicode installer).
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_LIST_DIR}/licens.txt)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)
# kvistel-1.0-win64-setup.exe and kvistel-1.0-win64.zip: the generator picks its own name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpackname.cmake)
set(CPACK_PACKAGE_FILE_NAME kvistel-${PROJECT_VERSION}-win64)

set(CPACK_NSIS_PACKAGE_NAME "Kvistel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Kvistel")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The Start menu entries "Kvistel", pointing at kvistel.exe in the installation folder, and
# "Avinstallera Kvistel"; no folder to work in (the example is copied out at the first start).
set(CPACK_PACKAGE_EXECUTABLES kvistel Kvistel)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME kvistel.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_UNINSTALL_NAME Avinstallera)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# makensis must not warn: CMake's installer script without the lines that only an installer of
# several components uses (makensis would warn of each as unused).
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in nsis_template)
foreach(unused "Var AR_SecFlags\n" "Var AR_RegFlags\n" "!insertmacro select_NT_profile \"\"\n"
        "!insertmacro select_NT_profile \"un.\"\n")
    string(REPLACE "${unused}" "" nsis_template "${nsis_template}")
endforeach()
# A 64-bit installer for a 64-bit program: it needs no 32-bit layer (Wine's wine32 included).
# After the first line, a comment that starts with the byte order mark.
string(FIND "${nsis_template}" "\n" first_line_end)
math(EXPR first_line_end "${first_line_end} + 1")
string(SUBSTRING "${nsis_template}" 0 ${first_line_end} first_line)
string(SUBSTRING "${nsis_template}" ${first_line_end} -1 rest)
# Swedish, the program's only language, is the installer's and the uninstaller's only language;
# the texts CMake's script writes itself are given in Swedish too. The uninstaller deletes the
# installed files one by one and folders only when empty: a file of the user's stays.
string(REGEX REPLACE "!insertmacro MUI_LANGUAGE \"[A-Za-z]+\"[^\n]*\n" "" rest "${rest}")
string(REPLACE ";Languages\n" ";Languages\n  !insertmacro MUI_LANGUAGE \"Swedish\"\n" rest
    "${rest}")
# The Start menu folder is "Kvistel", not the installer's name with its version.
string(REPLACE "!define MUI_STARTMENUPAGE_REGISTRY_ROOT"
    "!define MUI_STARTMENUPAGE_DEFAULTFOLDER \"Kvistel\"\n  !define MUI_STARTMENUPAGE_REGISTRY_ROOT"
    rest "${rest}")
# The GPL asks nobody to accept it in order to install or run the program: the licence page
# informs, and its button reads "Nästa" instead of "Jag godkänner".
string(FIND "${rest}" "  @CPACK_NSIS_LICENSE_PAGE@\n" at)
if(at EQUAL -1)
    message(FATAL_ERROR "Installerarens licenssida finns inte i CMakes mall")
endif()
string(REPLACE "  @CPACK_NSIS_LICENSE_PAGE@\n" "  !define MUI_PAGE_HEADER_TEXT \"Licens\"
  !define MUI_PAGE_HEADER_SUBTEXT \"Kvistel är fri programvara under GNU General Public License.\"
  !define MUI_LICENSEPAGE_TEXT_TOP \"Tryck på Page Down för att läsa resten.\"
  !define MUI_LICENSEPAGE_TEXT_BOTTOM \"Du behöver inte godta licensen för att installera och använda Kvistel. Klicka på Nästa för att fortsätta.\"
  !define MUI_LICENSEPAGE_BUTTON \"$(^NextBtn)\"
  @CPACK_NSIS_LICENSE_PAGE@\n" rest "${rest}")
foreach(pair
        "\\Uninstall.lnk|\\Avinstallera Kvistel.lnk"
        "@CPACK_NSIS_PACKAGE_NAME@ is already installed. $\\n$\\nDo you want to uninstall the old version before installing the new one?|@CPACK_NSIS_PACKAGE_NAME@ är redan installerat. $\\n$\\nVill du avinstallera den gamla versionen innan den nya installeras?"
        "\"Uninstall failed.\"|\"Avinstallationen misslyckades.\""
        "\"Install Options\" \"Choose options for installing @CPACK_NSIS_PACKAGE_NAME@\"|\"Installationsval\" \"Välj hur @CPACK_NSIS_PACKAGE_NAME@ ska installeras\""
        "\"Set install registry entry: '$1' to '$0'\"|\"Registerpost: '$1' = '$0'\""
        "\"Selected environment for all users\"|\"Miljön för alla användare\""
        "\"Selected environment for current user only.\"|\"Miljön för den här användaren\""
        "\"Download failed: $1\"|\"Hämtningen misslyckades: $1\"")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 english)
    list(GET pair 1 swedish)
    string(FIND "${rest}" "${english}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Installerarens text finns inte i CMakes mall: ${english}")
    endif()
    string(REPLACE "${english}" "${swedish}" rest "${rest}")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/nsis/NSIS.template.in
    "${first_line}Target amd64-unicode\n${rest}")
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_BINARY_DIR}/nsis)
# Any warning that comes back stops the build of the installer.
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS -WX)
set(CPACK_NSIS_MUI_ICON ${KVISTEL_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${KVISTEL_WINDOWS_ICON})
include(CPack)
