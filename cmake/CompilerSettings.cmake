# Warnings and sanitizers as INTERFACE targets, linked PRIVATE by every target.
add_library(wavorin_warnings INTERFACE)
target_compile_options(wavorin_warnings INTERFACE -Wall -Wextra -Wpedantic)

add_library(wavorin_sanitizers INTERFACE)
if(WAVORIN_SANITIZE)
  target_compile_options(wavorin_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(wavorin_sanitizers INTERFACE -fsanitize=address,undefined)
elseif(WAVORIN_TSAN)
  target_compile_options(wavorin_sanitizers INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(wavorin_sanitizers INTERFACE -fsanitize=thread)
endif()

# Adds a folder that may not hold a CMakeLists.txt yet.
function(wavorin_add_optional_subdirectory dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endfunction()

# Built into a sanitized executable: the leaks of cmake/lsan_suppressions.txt
# are not reported.
function(wavorin_lsan_suppressions target)
  if(NOT WAVORIN_SANITIZE)
    return()
  endif()
  set(list ${PROJECT_SOURCE_DIR}/cmake/lsan_suppressions.txt)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})
  file(READ ${list} WAVORIN_LSAN_SUPPRESSIONS)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/lsan_suppressions.cpp.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_lsan_suppressions.cpp @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}_lsan_suppressions.cpp)
endfunction()
