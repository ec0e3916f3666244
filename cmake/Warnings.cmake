# Project-wide compiler settings, kept compatible with MSVC and mingw-w64.
if(MSVC)
  add_compile_options(/W4 /permissive- /utf-8 /EHsc)
else()
  add_compile_options(-Wall -Wextra -Wno-unused-parameter)
endif()
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# Wide-character Win32 APIs for the add-in and its simulator.
function(use_wide_windows_api target)
  target_compile_definitions(${target} PRIVATE UNICODE _UNICODE)
endfunction()
