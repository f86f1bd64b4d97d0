# The engine and its platform layer: one library that both front ends and the tests link.
set(SW_ENGINE_SOURCES
  engine/crc32.cpp
  engine/crc32_clmul.cpp
  engine/file_facts.cpp
  engine/hashing_pass.cpp
  engine/helper_thread.cpp
  engine/labels.cpp
  engine/progress.cpp
  engine/text.cpp
  engine/verify_job.cpp
  intake/drop_text.cpp
  intake/open_dialog.cpp
  platform/input_file.cpp
  platform/pe_version.cpp
  platform/utf.cpp
  worker/worker.cpp
)
set(SW_PLATFORM_PARTS code_page crypto file_info input_file output_file paths version_info)
foreach(part IN LISTS SW_PLATFORM_PARTS)
  list(APPEND SW_ENGINE_SOURCES platform/${part}_${SW_PLATFORM}.cpp)
endforeach()
if(WIN32)
  list(APPEND SW_ENGINE_SOURCES platform/win32_paths.cpp)
else()
  list(APPEND SW_ENGINE_SOURCES platform/language_names_posix.cpp)
endif()

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

# The Windows program: the window, its actions and intake, and the program around them.
if(WIN32)
  add_library(sw_ui STATIC
    intake/drop_target_win32.cpp
    intake/open_dialog_win32.cpp
    ui/gui_window_ops.cpp
    ui/main_window.cpp
    ui/report_box.cpp
    ui/save_dialog.cpp
  )
  target_link_libraries(sw_ui PUBLIC sw_engine comctl32 comdlg32 ole32 oleaut32 uuid shell32
                                     user32 gdi32)
  target_compile_options(sw_ui PRIVATE ${SW_WARNINGS})
  target_compile_definitions(sw_ui PRIVATE SW_VERSION="${PROJECT_VERSION}"
                                           SW_HOMEPAGE="${SW_HOMEPAGE}")

  set(SW_APP_DIR ${PROJECT_SOURCE_DIR}/app)
  configure_file(app/sumwarden.rc.in ${CMAKE_BINARY_DIR}/sumwarden.rc @ONLY)
  add_executable(sumwarden WIN32 app/main_win32.cpp ${CMAKE_BINARY_DIR}/sumwarden.rc)
  target_link_libraries(sumwarden PRIVATE sw_ui)
  target_compile_options(sumwarden PRIVATE ${SW_WARNINGS})
endif()
