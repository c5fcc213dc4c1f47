# pixmeld_install_man_page(<page>): compresses docs/<page> (for instance pixmeld-cli.1) at build time and
# installs it as share/man/man<section>/<page>.gz, where man(1) and the Debian package expect it. gzip -n
# leaves out the file's name and time, so that the package's bytes do not depend on when it was built.
include_guard(GLOBAL)
include(GNUInstallDirs)

find_program(PIXMELD_GZIP gzip REQUIRED)

function(pixmeld_install_man_page page)
  string(REGEX MATCH "[1-9]$" section ${page})
  set(source ${PROJECT_SOURCE_DIR}/docs/${page})
  set(compressed ${PROJECT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND ${PIXMELD_GZIP} -9 -n -c ${source} > ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing docs/${page}")
  add_custom_target(man_${page} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
