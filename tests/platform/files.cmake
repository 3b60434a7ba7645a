# Files, folders, locks, temporary files, drives, processes.
add_executable(platform_lock_holder ${CMAKE_CURRENT_LIST_DIR}/lock_holder.cpp)
target_link_libraries(platform_lock_holder PRIVATE platform)

renovix_test(platform_files_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/path_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/find_files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/attributes_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_sharing_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/temp_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/process_snapshot_test.cpp
  LIBS platform)
add_dependencies(platform_files_tests platform_lock_holder)
target_compile_definitions(platform_files_tests PRIVATE LOCK_HOLDER="$<TARGET_FILE:platform_lock_holder>")
