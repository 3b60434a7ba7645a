add_executable(locale_bench ${CMAKE_CURRENT_LIST_DIR}/locale_bench.cpp)
target_link_libraries(locale_bench PRIVATE platform benchmark::benchmark benchmark::benchmark_main)
