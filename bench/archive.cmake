# Inflate-and-write throughput of the archive's extraction; the archives are
# made with the tests' archive builder.
add_executable(archive_bench
  ${CMAKE_CURRENT_LIST_DIR}/archive_extract_bench.cpp
  ${PROJECT_SOURCE_DIR}/tests/archive/zip_builder.cpp)
target_include_directories(archive_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/archive)
target_compile_options(archive_bench PRIVATE -Wno-missing-field-initializers)
target_link_libraries(archive_bench PRIVATE archive platform ZLIB::ZLIB benchmark::benchmark benchmark::benchmark_main)
