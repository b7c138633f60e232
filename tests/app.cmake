# Start-up and shutdown on the headless surface.
add_executable(app_test app_test.cpp)
target_link_libraries(app_test PRIVATE dirtree_app dirtree_ui_testing dirtree_testing ${DIRTREE_GTEST})
dirtree_add_test(app app_test)
