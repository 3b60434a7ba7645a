renovix_test(dbengine_values_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/data_types_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/day_numbers_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant_values_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant_casts_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant_arithmetic_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/variant_compare_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/value_stream_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_formater_test.cpp
  LIBS dbengine_storage)
