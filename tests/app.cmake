# Start-up and shutdown on the headless surface.
add_executable(app_test app_test.cpp)
target_link_libraries(app_test PRIVATE dirtree_app dirtree_ui_testing dirtree_testing ${DIRTREE_GTEST})
dirtree_add_test(app app_test)

# The window program's operator new and delete, on their own.
add_executable(operator_new_test operator_new_test.cpp ${CMAKE_SOURCE_DIR}/app/operator_new.cpp)
target_link_libraries(operator_new_test PRIVATE dirtree_core ${DIRTREE_GTEST})
dirtree_add_test(operator_new operator_new_test)
