# The Windows build (cross-built with mingw-w64, windows/README.md): the window
# program without a console window, both with their icon and version information; the
# About logo as a bitmap made from the SVG by ImageMagick at build time, since this Qt
# has no Svg module.
find_program(CONVERT_EXECUTABLE convert REQUIRED)
set(win_dir ${PROJECT_BINARY_DIR}/windows)
file(MAKE_DIRECTORY ${win_dir})

add_custom_command(OUTPUT ${win_dir}/parvelaclient-logo.png
  COMMAND ${CONVERT_EXECUTABLE} -background none -density 192 ${PROJECT_SOURCE_DIR}/data/parvelaclient-logo.svg
          -resize 400x300 ${win_dir}/parvelaclient-logo.png
  DEPENDS ${PROJECT_SOURCE_DIR}/data/parvelaclient-logo.svg
  COMMENT "Drawing the About logo from its SVG" VERBATIM)
add_custom_command(OUTPUT ${win_dir}/parvelaclient.ico
  COMMAND ${CONVERT_EXECUTABLE} -background none -density 384 ${PROJECT_SOURCE_DIR}/data/icons/parvelaclient.svg
          -define icon:auto-resize=256,64,48,32,16 ico:${win_dir}/parvelaclient.ico
  DEPENDS ${PROJECT_SOURCE_DIR}/data/icons/parvelaclient.svg
  COMMENT "Drawing the program icon from its SVG" VERBATIM)
file(WRITE ${win_dir}/AboutLogo.qrc.in
  "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n"
  "    <file alias=\"parvelaclient-logo.png\">parvelaclient-logo.png</file>\n  </qresource>\n</RCC>\n")
configure_file(${win_dir}/AboutLogo.qrc.in ${win_dir}/AboutLogo.qrc COPYONLY)
set_source_files_properties(${win_dir}/AboutLogo.qrc PROPERTIES OBJECT_DEPENDS ${win_dir}/parvelaclient-logo.png)
target_sources(parvela_gui PRIVATE ${win_dir}/AboutLogo.qrc ${win_dir}/parvelaclient-logo.png)

# Icon and version information of both programs.
set(PARVELA_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
foreach(program parvelaclient parvela)
  if(program STREQUAL "parvelaclient")
    set(PARVELA_FILE_DESCRIPTION "Parvela Client")
  else()
    set(PARVELA_FILE_DESCRIPTION "Parvela command-line tool")
  endif()
  set(PARVELA_FILE_NAME ${program}.exe)
  configure_file(${PROJECT_SOURCE_DIR}/windows/program.rc.in ${win_dir}/${program}.rc @ONLY)
  set_source_files_properties(${win_dir}/${program}.rc PROPERTIES OBJECT_DEPENDS ${win_dir}/parvelaclient.ico)
  target_sources(${program} PRIVATE ${win_dir}/${program}.rc)
endforeach()
set_target_properties(parvelaclient PROPERTIES WIN32_EXECUTABLE ON)
# Beside the system's own platform, the offscreen one: the window program runs without
# a display too (QT_QPA_PLATFORM=offscreen), as its tests start it.
qt_import_plugins(parvelaclient INCLUDE Qt6::QOffscreenIntegrationPlugin)

# The installer, parvela-client-<version>-setup.exe, made with NSIS (windows/installer.nsi).
find_program(MAKENSIS_EXECUTABLE makensis)
if(MAKENSIS_EXECUTABLE)
  set(PARVELA_INSTALLER ${PROJECT_BINARY_DIR}/parvela-client-${PROJECT_VERSION}-setup.exe)
  add_custom_command(OUTPUT ${PARVELA_INSTALLER}
    COMMAND ${MAKENSIS_EXECUTABLE} -V2 -DVERSION=${PROJECT_VERSION} -DBUILD=${PROJECT_BINARY_DIR}
            -DSOURCE=${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/windows/installer.nsi
    DEPENDS parvelaclient parvela ${PROJECT_SOURCE_DIR}/windows/installer.nsi
            ${PROJECT_SOURCE_DIR}/data/parvelaclient.INI.sample
    COMMENT "Making the installer ${PARVELA_INSTALLER}" VERBATIM)
  add_custom_target(installer DEPENDS ${PARVELA_INSTALLER})
endif()
