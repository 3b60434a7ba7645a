# Page encryption and buffer compression of the storage layer.
add_executable(transforms_bench ${CMAKE_CURRENT_LIST_DIR}/transforms_bench.cpp)
target_link_libraries(transforms_bench PRIVATE dbengine_storage benchmark::benchmark benchmark::benchmark_main)
