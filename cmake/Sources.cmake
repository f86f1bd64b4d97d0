# The engine and its platform layer: one library that both front ends and the tests link.
set(SW_ENGINE_SOURCES
  engine/crc32.cpp
  engine/file_facts.cpp
  engine/hashing_pass.cpp
  engine/labels.cpp
  engine/progress.cpp
  engine/text.cpp
  engine/verify_job.cpp
  platform/pe_version.cpp
  platform/utf.cpp
)
set(SW_PLATFORM_PARTS code_page crypto file_info input_file paths version_info)
foreach(part IN LISTS SW_PLATFORM_PARTS)
  list(APPEND SW_ENGINE_SOURCES platform/${part}_${SW_PLATFORM}.cpp)
endforeach()
if(NOT WIN32)
  list(APPEND SW_ENGINE_SOURCES platform/language_names_posix.cpp)
endif()

# TEMP-STUB
set(_present)
foreach(f IN LISTS SW_ENGINE_SOURCES)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${f})
    list(APPEND _present ${f})
  endif()
endforeach()
set(SW_ENGINE_SOURCES ${_present} ${SW_EXTRA_SOURCES})
add_library(sw_engine STATIC ${SW_ENGINE_SOURCES})
target_include_directories(sw_engine PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_options(sw_engine PRIVATE ${SW_WARNINGS})
find_package(Threads REQUIRED)
target_link_libraries(sw_engine PUBLIC Threads::Threads)
if(WIN32)
  target_link_libraries(sw_engine PUBLIC advapi32 version)
else()
  find_package(OpenSSL REQUIRED COMPONENTS Crypto)
  target_link_libraries(sw_engine PUBLIC OpenSSL::Crypto)
endif()

# The console front end.
add_executable(sumwarden-cli cli/main.cpp cli/console_window.cpp cli/console_${SW_PLATFORM}.cpp)
target_link_libraries(sumwarden-cli PRIVATE sw_engine)
target_compile_options(sumwarden-cli PRIVATE ${SW_WARNINGS})
