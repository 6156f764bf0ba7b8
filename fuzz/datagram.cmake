# datagram_decode_fuzz: the receivers' decoder over arbitrary bytes.
add_executable(datagram_decode_fuzz ${CMAKE_CURRENT_LIST_DIR}/datagram_decode_fuzz.cpp)
target_include_directories(datagram_decode_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/include)
target_compile_options(datagram_decode_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(datagram_decode_fuzz PRIVATE -fsanitize=fuzzer)
target_link_libraries(datagram_decode_fuzz PRIVATE kinemora_warnings)
