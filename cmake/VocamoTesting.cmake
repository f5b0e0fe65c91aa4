# vocamo_add_test(NAME target LABEL label [QT_MAIN] SOURCES ... LIBS ...)
# A GoogleTest executable whose tests are discovered by CTest and carry the
# subsystem's label; it links the test support library. QT_MAIN runs the tests
# inside one offscreen QApplication.
if(VOCAMO_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

function(vocamo_add_test)
  if(NOT VOCAMO_TESTS OR VOCAMO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(T "QT_MAIN" "NAME;LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  if(T_QT_MAIN)
    list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    list(APPEND T_LIBS Qt6::Widgets)
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} vocamo_test_support vocamo_write_fault
      GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${T_NAME} PRIVATE VOCAMO_BUILD_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${T_NAME}
      PROPERTIES LABELS ${T_LABEL} TIMEOUT ${T_TIMEOUT}
                 # Calls a test makes go to a history in the build, not the user's.
                 ENVIRONMENT "XDG_DATA_HOME=${CMAKE_BINARY_DIR}/tests/data-home"
      DISCOVERY_TIMEOUT 60)
endfunction()

# vocamo_add_bench(NAME target [QT_MAIN] SOURCES ... LIBS ...)
# QT_MAIN: the program's main is a QApplication's (tests/bench/QtBenchMain.cpp).
function(vocamo_add_bench)
  if(NOT VOCAMO_BENCH OR VOCAMO_FUZZ)
    return()
  endif()
  find_package(benchmark REQUIRED)
  cmake_parse_arguments(B "QT_MAIN" "NAME" "SOURCES;LIBS" ${ARGN})
  if(B_QT_MAIN)
    list(APPEND B_SOURCES ${PROJECT_SOURCE_DIR}/tests/bench/QtBenchMain.cpp)
    list(APPEND B_LIBS Qt6::Widgets)
  endif()
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} vocamo_test_support benchmark::benchmark
      Threads::Threads)
  set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bench)
  set_property(GLOBAL APPEND PROPERTY VOCAMO_BENCHES ${B_NAME})
endfunction()

# vocamo_add_fuzzer(NAME target SOURCES ... LIBS ...): only with VOCAMO_FUZZ.
function(vocamo_add_fuzzer)
  if(NOT VOCAMO_FUZZ)
    return()
  endif()
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/fuzz)
endfunction()
