# GUI tests of dirtree.exe under Wine and Xvfb with real key and mouse
# events: the window inspector, a test build of the program that takes in
# injected drops, and the driver script. Windows build only.
if(CMAKE_CROSSCOMPILING)
  add_executable(gui_inspect ${CMAKE_CURRENT_SOURCE_DIR}/gui/inspect.cpp)
  target_link_options(gui_inspect PRIVATE -municode)
  target_link_libraries(gui_inspect PRIVATE user32 shell32)
  target_include_directories(gui_inspect PRIVATE ${CMAKE_SOURCE_DIR})

  if(TARGET dirtree)
    # dirtree.exe's own sources with the drop injection hook added. Sources
    # are made absolute because they were listed relative to the top folder.
    get_target_property(gui_sources dirtree SOURCES)
    get_target_property(gui_source_dir dirtree SOURCE_DIR)
    set(gui_hook_sources)
    foreach(source IN LISTS gui_sources)
      if(IS_ABSOLUTE "${source}" OR source MATCHES "^\\$<")
        list(APPEND gui_hook_sources "${source}")
      else()
        list(APPEND gui_hook_sources "${gui_source_dir}/${source}")
      endif()
    endforeach()
    add_executable(dirtree-testhook WIN32 ${gui_hook_sources} ${CMAKE_SOURCE_DIR}/ui/drop_test_hook_win32.cpp)
    foreach(property LINK_LIBRARIES INCLUDE_DIRECTORIES COMPILE_DEFINITIONS COMPILE_OPTIONS LINK_OPTIONS)
      get_target_property(value dirtree ${property})
      if(value)
        set_property(TARGET dirtree-testhook PROPERTY ${property} "${value}")
      endif()
    endforeach()

    # Once with code page 936 and once with 1252, like the other Wine tests,
    # so the window's texts are proven right whatever the system code page.
    # Each run has its own display, prefix and output folder; they take
    # turns all the same, since two Wine desktops at once on a busy machine
    # make the bounded waits of the checks needlessly tight. The script's
    # own deadline ends the run well before ctest's timeout, whose SIGKILL
    # would leave only the script's guard to take Wine and Xvfb down.
    foreach(locale zh_CN.UTF-8 C.UTF-8)
      string(REGEX REPLACE "[._-]UTF-8$" "" tag "${locale}")
      add_test(NAME gui.${tag}
               COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/run_gui_tests.sh
                       --exe $<TARGET_FILE:dirtree>
                       --hook-exe $<TARGET_FILE:dirtree-testhook>
                       --inspect $<TARGET_FILE:gui_inspect>
                       --cli $<TARGET_FILE:dirtree-cli>
                       --locale ${locale}
                       --deadline 480
                       --out ${CMAKE_CURRENT_BINARY_DIR}/gui/${tag})
      set_tests_properties(gui.${tag} PROPERTIES TIMEOUT 600 RESOURCE_LOCK dirtree_gui)
    endforeach()
  endif()
endif()
