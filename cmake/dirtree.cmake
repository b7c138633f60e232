# Test helpers shared by the native and the Windows build.
option(DIRTREE_TESTS "Build the tests" ON)

if(DIRTREE_TESTS)
  if(CMAKE_CROSSCOMPILING)
    # Debian's googletest package ships the sources; build them for Windows.
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # GoogleTest's sources reach characters GBK lacks (the micro sign in
    # <chrono>); they keep UTF-8 literals, the last -fexec-charset winning.
    target_compile_options(gtest PRIVATE -fexec-charset=UTF-8)
    target_compile_options(gtest_main PRIVATE -fexec-charset=UTF-8)
    set(DIRTREE_GTEST gtest gtest_main)
    set(DIRTREE_GTEST_NO_MAIN gtest)
  else()
    find_package(GTest REQUIRED)
    set(DIRTREE_GTEST GTest::gtest GTest::gtest_main)
    set(DIRTREE_GTEST_NO_MAIN GTest::gtest)
  endif()
endif()

# dirtree_add_test(NAME TARGET [ARGS...]): natively one test; in the Windows
# build two, run under Wine once with code page 936 and once with 1252, so the
# results may not depend on the system code page.
function(dirtree_add_test name target)
  if(CMAKE_CROSSCOMPILING)
    foreach(locale zh_CN.UTF-8 C.UTF-8)
      string(REGEX REPLACE "[._-]UTF-8$" "" tag "${locale}")
      add_test(NAME ${name}.${tag}
               COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run --locale ${locale}
                       $<TARGET_FILE:${target}> ${ARGN})
    endforeach()
  else()
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
  endif()
endfunction()
