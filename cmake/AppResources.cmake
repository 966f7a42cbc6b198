# wavorin_add_app_resources(TARGET [RC_FILE])
# Compiles the program's resource script (or RC_FILE, a script that includes
# it) into TARGET: the skins, images and icon under their resource ids.
function(wavorin_add_app_resources target)
  set(script ${CMAKE_SOURCE_DIR}/app/resources.rc)
  if(ARGC GREATER 1)
    set(script ${ARGV1})
  endif()
  file(GLOB files ${CMAKE_SOURCE_DIR}/app/skins/* ${CMAKE_SOURCE_DIR}/app/images/*)
  target_sources(${target} PRIVATE ${script})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/app)
  set_property(SOURCE ${script} DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/resources.rc ${CMAKE_SOURCE_DIR}/app/resource.h ${files})
endfunction()

# wavorin_ship(TARGET)
# A program that is shipped carries no debug information: after linking, its
# symbols move to TARGET.exe.debug beside it (for crash analysis, linked by
# name from the .exe) and the .exe is stripped. It ends on the failures that
# the standard library reports by exception without the runtime's exception
# classes (app/ShippedRuntime.cpp).
function(wavorin_ship target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/app/ShippedRuntime.cpp)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE_NAME:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
