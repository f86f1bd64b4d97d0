# Included by tests/CMakeLists.txt after engine_tests is defined: the fuzz targets' bodies and
# the test that runs the kept inputs (fuzz/regressions, fuzz/corpus) through them.
target_sources(engine_tests PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/targets.cpp
                                    ${PROJECT_SOURCE_DIR}/tests/fuzz_regression_test.cpp)
target_compile_definitions(engine_tests PRIVATE SW_FUZZ_DIR="${PROJECT_SOURCE_DIR}/fuzz")
