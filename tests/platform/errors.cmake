renovix_test(platform_errors_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/errors_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/checksum_and_bytes_test.cpp
  LIBS platform)
