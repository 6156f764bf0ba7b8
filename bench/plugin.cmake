# decode_bench: the plug-in's stream decoder, per record and per frame.
add_executable(decode_bench ${CMAKE_CURRENT_SOURCE_DIR}/decode_bench.cpp ${CMAKE_CURRENT_SOURCE_DIR}/allocation_counter.cpp)
target_link_libraries(decode_bench PRIVATE kinemora_plugin_core benchmark::benchmark kinemora_warnings)
