# tessary_add_test(NAME SOURCES file... LIBS lib... [GUI])
# Adds a QTest executable and registers it with CTest. GUI tests run on the
# offscreen platform; every test finds the shared sample corpus through
# TESSARY_CORPUS_DIR and its own fixtures through TESSARY_TEST_DATA.
function(tessary_add_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  target_compile_definitions(${name} PRIVATE
    TESSARY_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
    TESSARY_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    TESSARY_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    TIMEOUT 600)
endfunction()
