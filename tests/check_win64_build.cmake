# Fails with what to do when the Windows build that the Wine tests run is missing.
foreach(binary kinemora_aerofly_fs_2.dll kinemora_aerofly_fs_4.dll kinemora_mfs_2020.exe kinemora-host.exe
               kinemora-simulator.exe kinemora-listen.exe kinemora-signal.exe)
  if(NOT EXISTS "${WIN64_DIR}/bin/${binary}")
    message(FATAL_ERROR "The Windows build is missing (${WIN64_DIR}/bin/${binary}): the Wine tests need it. "
                        "Build it first: cmake --preset win64 && cmake --build --preset win64; "
                        "or run only the native tests: ctest --preset linux")
  endif()
endforeach()
message(STATUS "The Windows build is there: ${WIN64_DIR}/bin")
