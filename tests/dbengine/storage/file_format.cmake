# The database file: files, pages, free space, internal files, catalogue,
# and the vzdb create and info commands.
add_executable(file_format_helper ${CMAKE_CURRENT_LIST_DIR}/file_format_helper.cpp)
target_link_libraries(file_format_helper PRIVATE dbengine_storage)

renovix_test(storage_file_format_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/file_format_support.cpp
    ${CMAKE_CURRENT_LIST_DIR}/database_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/page_layout_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/open_database_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/free_space_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/internal_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/session_pages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_test.cpp
  LIBS dbengine_storage)
add_dependencies(storage_file_format_tests file_format_helper)
target_compile_definitions(storage_file_format_tests PRIVATE
  FILE_FORMAT_HELPER="$<TARGET_FILE:file_format_helper>"
  LOCK_HOLDER="$<TARGET_FILE:file_format_helper>")

# vzdb create and info, run as a program on real files.
renovix_test(vzdb_file_format_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/vzdb_file_format_test.cpp
  LIBS platform)
target_compile_definitions(vzdb_file_format_tests PRIVATE VZDB_PROGRAM="$<TARGET_FILE:vzdb>")
add_dependencies(vzdb_file_format_tests vzdb)
