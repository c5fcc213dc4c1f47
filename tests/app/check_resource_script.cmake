# Compiles res/pixmeld.rc with the MinGW resource compiler, as a Windows build would, then reads the
# result back and checks that the icon, the string table, the version record and the manifest are in it,
# the manifest with its density awareness, long paths and Windows 10 entry.
#
#   cmake -DWINDRES=... -DRC_FILE=.../res/pixmeld.rc -DMINGW_INCLUDE=... -DWORK_DIR=... -P this file
set(res_file ${WORK_DIR}/pixmeld.res)
file(MAKE_DIRECTORY ${WORK_DIR})
get_filename_component(rc_dir ${RC_FILE} DIRECTORY)

# MinGW's own preprocessor is not installed; the host's, told that it reads Windows resources, does.
execute_process(
  COMMAND ${WINDRES} --preprocessor=cpp --preprocessor-arg=-xc --preprocessor-arg=-nostdinc
          --preprocessor-arg=-DRC_INVOKED --preprocessor-arg=-D_WIN32 --preprocessor-arg=-D_WIN64
          -I ${MINGW_INCLUDE} -I ${rc_dir} -i ${RC_FILE} -O res -o ${res_file}
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres cannot compile ${RC_FILE}:\n${errors}")
endif()

execute_process(
  COMMAND ${WINDRES} -J res -O rc -i ${res_file}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE decompiled
  ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "windres cannot read back ${res_file}:\n${errors}")
endif()

set(failures)
function(expect pattern what)
  if(NOT decompiled MATCHES "${pattern}")
    set(failures ${failures} "${what}" PARENT_SCOPE)
  endif()
endfunction()
expect("101, \"&About Pixmeld\\.\\.\\.\"" "string 101 \"&About Pixmeld...\"")
expect("128 14 /\\* RT_GROUP_ICON \\*/" "icon group 128")
expect("\"\\\\020\\\\020\\\\000\\\\000\", 1, 32,[^\n]*\n[^\n]*\"\\\\040\\\\040\\\\000\\\\000\", 1, 32,[^\n]*\n[^\n]*\"\\\\060\\\\060\\\\000\\\\000\", 1, 32,"
       "icon images 16, 32 and 48 pixels of 32 bits")
expect("FILEVERSION 1, 0, 0, 1" "file version 1.0.0.1")
expect("PRODUCTVERSION 1, 0, 0, 1" "product version 1.0.0.1")
expect("FILEOS 0x4\n" "operating system 32-bit Windows")
expect("FILETYPE 0x1\n" "file type application")
expect("BLOCK \"040904B0\"" "a US English string block in the Unicode code page")
expect("VALUE \"FileDescription\", \"Pixmeld\"" "file description")
expect("VALUE \"ProductName\", \"Pixmeld\"" "product name")
expect("VALUE \"FileVersion\", \"1, 0, 0, 1\"" "file version text")
expect("VALUE \"CompanyName\", \"\"" "empty company name")
expect("VALUE \"Translation\", 0x409, 1200" "translation")
expect("1 24 /\\* RT_MANIFEST \\*/" "manifest 1")

# The manifest's text is stored as it is; the file holds zero bytes, so compare in hexadecimal.
file(READ ${res_file} raw HEX)
foreach(text "Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"" "publicKeyToken=\"6595b64144ccf1df\""
             "name=\"Microsoft.Windows.MyApplication\" version=\"1.0.0.0\""
             "<description>MyApplication</description>"
             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"
             "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, PerMonitor<"
             "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>"
             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>")
  string(HEX "${text}" hex)
  string(FIND "${raw}" "${hex}" at)
  if(at EQUAL -1)
    list(APPEND failures "manifest text ${text}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " listed)
  message(FATAL_ERROR "res/pixmeld.rc lacks:\n  ${listed}\nwindres reads it back as:\n${decompiled}")
endif()
