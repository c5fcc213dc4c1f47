# The Windows installer: `make windows-installer` builds the target windows_installer, which packs the two
# programs, stripped, into <build>/pixmeld-<version>-x64.msi with wixl (Debian's msitools) from
# packaging/pixmeld.wxs. Only in the Windows build, which has both programs.
if(NOT WIN32 OR NOT PIXMELD_BUILD_APP)
  return()
endif()

find_program(PIXMELD_WIXL wixl REQUIRED)
find_program(PIXMELD_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)

# pixmeld_windows_installer(<target> <msi> <version>): the target <target> builds the package <msi> of
# version <version> (major.minor.patch, what Windows Installer compares on an upgrade) from this build's
# programs. Its staging folder is named after the target.
function(pixmeld_windows_installer target msi version)
  set(stage ${CMAKE_CURRENT_BINARY_DIR}/${target}-files)
  set(wxs ${PROJECT_SOURCE_DIR}/packaging/pixmeld.wxs)
  set(icon ${PROJECT_SOURCE_DIR}/res/art/pixmeld.ico)
  add_custom_command(
    OUTPUT ${msi}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${PIXMELD_MINGW_STRIP} -o ${stage}/pixmeld.exe $<TARGET_FILE:pixmeld>
    COMMAND ${PIXMELD_MINGW_STRIP} -o ${stage}/pixmeld-cli.exe $<TARGET_FILE:pixmeld-cli>
    COMMAND ${CMAKE_COMMAND} -E copy ${icon} ${stage}/pixmeld.ico
    # wixl looks for the files it packs in the current folder.
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage} ${PIXMELD_WIXL} -a x64 -D Version=${version} -o ${msi} ${wxs}
    DEPENDS pixmeld pixmeld-cli ${wxs} ${icon}
    COMMENT "Packing ${msi}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${msi})
endfunction()

pixmeld_windows_installer(windows_installer ${PROJECT_BINARY_DIR}/pixmeld-${PROJECT_VERSION}-x64.msi
                          ${PROJECT_VERSION})
