renovix_test(storage_transforms_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/transform_test_data.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cipher_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compression_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ppmd_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vz_streams_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compressed_blob_stream_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_streams_test.cpp
  LIBS dbengine_storage)

# The codec subcommand of vzdb, run as a program on real files.
renovix_test(vzdb_codec_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/vzdb_codec_test.cpp ${CMAKE_CURRENT_LIST_DIR}/transform_test_data.cpp
  LIBS platform)
target_compile_definitions(vzdb_codec_tests PRIVATE VZDB_PROGRAM="$<TARGET_FILE:vzdb>")
add_dependencies(vzdb_codec_tests vzdb)
