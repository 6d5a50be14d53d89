# Servers the wire tests talk to: the stand-in service and real HTTP and SOCKS proxies on
# loopback, started once before the tests that need them and stopped after them. The script is a
# Linux program, so CTest runs it directly, never through the Windows build's emulator.
set(MURLOX_TEST_SERVICES_STATE ${CMAKE_BINARY_DIR}/test-services.env)
set(murlox_test_services_script ${CMAKE_SOURCE_DIR}/tests/support/test_services.py)

add_test(NAME test_services_start
         COMMAND /usr/bin/python3 ${murlox_test_services_script} start
                 ${MURLOX_TEST_SERVICES_STATE})
add_test(NAME test_services_stop
         COMMAND /usr/bin/python3 ${murlox_test_services_script} stop ${MURLOX_TEST_SERVICES_STATE})
set_tests_properties(test_services_start PROPERTIES FIXTURES_SETUP murlox_test_services)
set_tests_properties(test_services_stop PROPERTIES FIXTURES_CLEANUP murlox_test_services)

# Makes a test wait for the servers and tells it where their state file is.
function(murlox_requires_services test_name)
  set_property(TEST ${test_name} APPEND PROPERTY FIXTURES_REQUIRED murlox_test_services)
  set_property(TEST ${test_name} APPEND PROPERTY ENVIRONMENT
                                 MURLOX_TEST_SERVICES=${MURLOX_TEST_SERVICES_STATE})
endfunction()
