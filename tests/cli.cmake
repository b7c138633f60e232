# dirtree-cli end to end. Natively on real trees; in the Windows build the
# same tree through dirtree-cli.exe under Wine against the native program,
# whose path the Makefile passes as DIRTREE_NATIVE_CLI.
if(CMAKE_CROSSCOMPILING)
  if(DIRTREE_NATIVE_CLI)
    foreach(locale zh_CN.UTF-8 C.UTF-8)
      string(REGEX REPLACE "[._-]UTF-8$" "" tag "${locale}")
      add_test(NAME cli_same_report.${tag}
               COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cli_cross.sh
                       ${DIRTREE_NATIVE_CLI} $<TARGET_FILE:dirtree-cli> ${locale})
    endforeach()
  endif()
else()
  add_test(NAME cli_e2e COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/cli_e2e.sh $<TARGET_FILE:dirtree-cli>)
endif()
