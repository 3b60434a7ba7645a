renovix_test(platform_locale_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/code_pages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/collation_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/locale_forms_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/number_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/datetime_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/date_text_test.cpp
  LIBS platform ICU::uc)
