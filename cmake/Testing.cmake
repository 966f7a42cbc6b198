# Test registration. On the target every test binary runs under 32-bit wine
# through wine-run.sh, which CTest puts in front of the command.
enable_testing()

if(WIN32)
  set(WAVORIN_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# wavorin_add_test(NAME SOURCES ... LIBS ... [LABELS ...])
# One CTest entry per test binary; GoogleTest prints each case.
function(wavorin_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=0)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# wavorin_unmanaged_windows(TEST ...)
# Under wine without a window manager, an active window that goes away waits
# two seconds for the manager to withdraw it, and menus and main windows are
# active by design: these tests' windows are left unmanaged. The display
# driver reads this setting when a program starts, so it is made before the
# tests run.
function(wavorin_unmanaged_windows)
  foreach(program IN LISTS ARGN)
    add_test(NAME ${program}_unmanaged
      COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh reg add
              "HKCU\\Software\\Wine\\AppDefaults\\${program}.exe\\X11 Driver" /v Managed /d N /f)
    set_tests_properties(${program}_unmanaged PROPERTIES FIXTURES_SETUP ${program}_unmanaged)
    set_tests_properties(${program} PROPERTIES FIXTURES_REQUIRED ${program}_unmanaged)
  endforeach()
endfunction()
