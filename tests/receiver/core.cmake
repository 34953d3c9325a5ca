varnola_add_test(receiver_link_test SOURCES receiver_link_test.cpp)
varnola_add_test(receiver_commands_test SOURCES receiver_commands_test.cpp)
varnola_add_test(eb_no_test SOURCES eb_no_test.cpp)

varnola_add_test(receiver_integration_test SOURCES receiver_integration_test.cpp)
target_compile_definitions(receiver_integration_test PRIVATE RECEIVER_SIM="$<TARGET_FILE:receiver-sim>")
add_dependencies(receiver_integration_test receiver-sim)

varnola_add_test(receiver_menu_wire_test SOURCES receiver_menu_wire_test.cpp GUI)
target_compile_definitions(receiver_menu_wire_test PRIVATE RECEIVER_SIM="$<TARGET_FILE:receiver-sim>")
add_dependencies(receiver_menu_wire_test receiver-sim)
