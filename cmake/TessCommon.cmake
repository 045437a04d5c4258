# Shared settings and helpers for every target of the project.

# Programs, DLLs and test programs land side by side, so the program finds its DLLs as on Windows.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)

if(WIN32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX STRICT _WIN32_WINNT=0x0601 WINVER=0x0601)
  # No MinGW runtime DLL beside the exe.
  add_link_options(-static -static-libgcc -static-libstdc++)

  if(NOT TESS_HOST_BIN)
    message(FATAL_ERROR "TESS_HOST_BIN must name the native build's bin folder (host tools)")
  endif()

  # GoogleTest from Debian's sources, built for the target.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  # One CTest entry per test program: Wine's start-up is paid once per program, not per case.
  function(tess_add_wine_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    # Our remote-access service installed first (tests/CMakeLists.txt).
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 FIXTURES_REQUIRED rasservice)
  endfunction()
else()
  option(TESS_SANITIZE "Build native code with AddressSanitizer and UBSan" ON)
  if(TESS_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  function(tess_add_native_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
  endfunction()

  # A libFuzzer target (clang) that CTest runs for a bounded time; `make fuzz` runs it longer
  # (scripts/fuzz.sh). Its corpus lives in build/native/fuzz/NAME/corpus, seeded from
  # build/native/fuzz/NAME/seeds: SEEDS names files and folders copied there at build time (a
  # caller may also write generated seeds there, into ${NAME_SEED_DIR}, before the fuzzer is
  # built). REGRESSIONS names a folder of inputs that once failed: each is run once as a test of
  # its own, "NAME-regressions".
  function(tess_add_fuzzer name seconds)
    cmake_parse_arguments(T "" "REGRESSIONS" "SOURCES;LIBS;SEEDS" ${ARGN})
    if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      add_executable(${name} ${T_SOURCES})
      target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
      target_link_options(${name} PRIVATE -fsanitize=fuzzer)
      target_link_libraries(${name} PRIVATE ${T_LIBS})
      set(seed_dir ${CMAKE_BINARY_DIR}/fuzz/${name}/seeds)
      set(corpus_dir ${CMAKE_BINARY_DIR}/fuzz/${name}/corpus)
      file(MAKE_DIRECTORY ${seed_dir} ${corpus_dir})
      set(${name}_SEED_DIR ${seed_dir} PARENT_SCOPE)
      foreach(seed ${T_SEEDS})
        if(IS_DIRECTORY ${seed})
          add_custom_command(TARGET ${name} POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_directory ${seed} ${seed_dir})
        else()
          add_custom_command(TARGET ${name} POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different ${seed} ${seed_dir})
        endif()
      endforeach()
      add_test(NAME ${name} COMMAND ${name} -max_total_time=${seconds} -timeout=10 -rss_limit_mb=1024
        -print_final_stats=0 ${corpus_dir} ${seed_dir})
      if(T_REGRESSIONS)
        file(GLOB inputs CONFIGURE_DEPENDS ${T_REGRESSIONS}/*)
        if(inputs)
          add_test(NAME ${name}-regressions COMMAND ${name} -timeout=10 -rss_limit_mb=1024 ${inputs})
        endif()
      endif()
    endif()
  endfunction()
endif()
