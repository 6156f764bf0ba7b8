# decode_frame_fuzz: the plug-in's stream decoder over arbitrary bytes and counts.
add_executable(decode_frame_fuzz ${CMAKE_CURRENT_SOURCE_DIR}/decode_frame_fuzz.cpp)
target_link_libraries(decode_frame_fuzz PRIVATE kinemora_plugin_core kinemora_warnings)
target_compile_options(decode_frame_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(decode_frame_fuzz PRIVATE -fsanitize=fuzzer)
