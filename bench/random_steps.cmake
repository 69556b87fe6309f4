# The run of random steps on the main window: long from scripts/bench, short
# as a test. Both the benchmarks and the tests include this; the first builds it.
if(NOT TARGET tervane_random_steps)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(tervane_random_steps
    ${CMAKE_CURRENT_LIST_DIR}/random_steps.cpp
    ${PROJECT_SOURCE_DIR}/tests/ui/modal_driver.cpp
    ${PROJECT_SOURCE_DIR}/tests/ui/ui_test_support.cpp
  )
  set_target_properties(tervane_random_steps PROPERTIES AUTOMOC ON)
  target_include_directories(tervane_random_steps PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(tervane_random_steps PRIVATE tervane_ui Qt6::Test tervane_warnings)
endif()
