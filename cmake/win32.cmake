# Windows build (32-bit or 64-bit): cantoria.exe and the GUI test program, whose tests run under Wine.
enable_language(RC)
# the scripts read which Wine prefix and loader this build needs
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "win64\n")
else()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-arch "win32\n")
endif()
# the release is the 32-bit build: a 64-bit build checks the zip of that one
set(CANTORIA_RELEASE_BUILD ${CMAKE_BINARY_DIR} CACHE PATH "build folder whose release zip the release suite checks")
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS
  shell/*.cpp songlist/*.cpp viewer/*.cpp editor/*.cpp)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "shell/shared_state\\.cpp$|songlist/songlist_file\\.cpp$")
add_executable(cantoria WIN32 ${WIN32_SOURCES} resources/cantoria.rc)
# windres reads the manifest while it compiles the resource script
set_source_files_properties(resources/cantoria.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/resources/cantoria.manifest)
target_link_libraries(cantoria cantoria_core comdlg32 gdi32 user32 kernel32)
target_link_options(cantoria PRIVATE -static -static-libgcc -static-libstdc++ -mwindows)
set_target_properties(cantoria PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The GUI test program: a console program that starts cantoria.exe and drives it;
# it also carries the Wine benchmark (suite "bench") and the screenshots ("shots").
file(GLOB GUI_TEST_SOURCES CONFIGURE_DEPENDS tests/gui/*.cpp bench/wine/*.cpp)
add_executable(gui_tests ${GUI_TEST_SOURCES} tests/support/case_file.cpp bench/support/library_gen.cpp)
target_link_libraries(gui_tests user32 gdi32 kernel32)
target_link_options(gui_tests PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(gui_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Each tests/gui/journeys/SUITE.txt and each tests/gui/test_SUITE.cpp is a suite;
# CTest runs each under Xvfb and Wine.
file(GLOB GUI_SUITE_FILES CONFIGURE_DEPENDS tests/gui/journeys/*.txt tests/gui/test_*.cpp)
set(GUI_SUITES "")
foreach(file ${GUI_SUITE_FILES})
  get_filename_component(name ${file} NAME_WE)
  string(REGEX REPLACE "^test_" "" suite ${name})
  list(APPEND GUI_SUITES ${suite})
endforeach()
list(REMOVE_DUPLICATES GUI_SUITES)
list(REMOVE_ITEM GUI_SUITES shots)
set(WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
foreach(suite ${GUI_SUITES})
  if(suite STREQUAL "release")
    # the release suite runs the cantoria.exe unpacked from the release zip
    add_test(NAME gui.${suite}
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/release-test.sh ${CMAKE_BINARY_DIR} ${CANTORIA_RELEASE_BUILD})
  else()
    add_test(NAME gui.${suite}
      COMMAND ${WINE_RUN} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/gui_tests.exe ${suite} ${CMAKE_BINARY_DIR}/cantoria.exe)
  endif()
  set_tests_properties(gui.${suite} PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE
    ENVIRONMENT "CANTORIA_SOURCE=${CMAKE_SOURCE_DIR};CANTORIA_FIXTURES=${CMAKE_SOURCE_DIR}/tests/fixtures")
endforeach()
