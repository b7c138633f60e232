# Scripted window services and drop platform, for the tests only.
add_library(dirtree_ui_testing STATIC ${CMAKE_SOURCE_DIR}/ui/scripted_services.cpp)
target_link_libraries(dirtree_ui_testing PUBLIC dirtree_ui)

# The main window's behaviour on the headless surface.
add_executable(ui_test ui_test.cpp)
target_link_libraries(ui_test PRIVATE dirtree_ui ${DIRTREE_GTEST})
dirtree_add_test(ui ui_test)

# The window's commands and the drop intake on scripted services.
add_executable(commands_test commands_test.cpp)
target_link_libraries(commands_test PRIVATE dirtree_ui_testing dirtree_testing ${DIRTREE_GTEST})
dirtree_add_test(commands commands_test)

# Their Windows half on a real message-only window.
if(WIN32)
  add_executable(services_win32_test services_win32_test.cpp)
  target_link_libraries(services_win32_test PRIVATE dirtree_ui_win32 ${DIRTREE_GTEST})
  dirtree_add_test(services_win32 services_win32_test)
endif()
