# Installs the build into a scratch prefix and checks the desktop program's files: the program, its
# desktop entry (which hands the program the files it opens, and offers it for JPEG files) and its icons
# in the hicolor theme.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -P this file
file(REMOVE_RECURSE ${PREFIX})
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE status
  OUTPUT_QUIET
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${errors}")
endif()

set(missing)
foreach(file bin/pixmeld share/applications/pixmeld.desktop share/icons/hicolor/16x16/apps/pixmeld.png
             share/icons/hicolor/32x32/apps/pixmeld.png share/icons/hicolor/48x48/apps/pixmeld.png
             share/icons/hicolor/128x128/apps/pixmeld.png share/icons/hicolor/scalable/apps/pixmeld.svg)
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "not installed: ${missing}")
endif()
if(NOT IS_DIRECTORY ${PREFIX}/bin OR IS_DIRECTORY ${PREFIX}/bin/pixmeld)
  message(FATAL_ERROR "bin/pixmeld is not a program file")
endif()
file(STRINGS ${PREFIX}/share/applications/pixmeld.desktop entry)
foreach(line "Exec=pixmeld %F" "MimeType=image/jpeg;")
  list(FIND entry "${line}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks the line ${line}")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
