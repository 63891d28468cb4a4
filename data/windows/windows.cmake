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

install(TARGETS kvistel RUNTIME DESTINATION .)
# What kvistel.exe loads (x86_64-w64-mingw32-objdump -p kvistel.exe | grep "DLL Name").
install(FILES ${qt}/bin/Qt6Core.dll ${qt}/bin/Qt6Gui.dll ${qt}/bin/Qt6Widgets.dll
    ${qt}/bin/Qt6Concurrent.dll ${qt}/bin/Qt6PrintSupport.dll ${KVISTEL_MINGW_RUNTIME}
    DESTINATION .)
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
install(FILES ${PROJECT_SOURCE_DIR}/sample/trad.sty ${PROJECT_SOURCE_DIR}/sample/priser_ac.txt
    DESTINATION exempel)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)

set(CPACK_PACKAGE_NAME kvistel)
set(CPACK_PACKAGE_VENDOR "Kvistel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kvistel - värdera ett stående träd")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Kvistel")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)
# kvistel-1.0-win64-setup.exe and kvistel-1.0-win64.zip: the generator picks its own name.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpackname.cmake)
set(CPACK_PACKAGE_FILE_NAME kvistel-${PROJECT_VERSION}-win64)

set(CPACK_NSIS_PACKAGE_NAME "Kvistel ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Kvistel")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# The Start menu entry "Kvistel", pointing at kvistel.exe in the installation folder.
set(CPACK_PACKAGE_EXECUTABLES kvistel Kvistel)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME kvistel.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The example home directory from the Start menu too. The installer's texts are ANSI: the
# names it shows keep to ASCII.
set(CPACK_NSIS_MENU_LINKS "exempel" "Exempelkatalog")
if(KVISTEL_WINDOWS_ICON)
    set(CPACK_NSIS_MUI_ICON ${KVISTEL_WINDOWS_ICON})
    set(CPACK_NSIS_MUI_UNIICON ${KVISTEL_WINDOWS_ICON})
endif()
include(CPack)
