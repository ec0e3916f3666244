# The release: the one place that sets the versions the binaries carry in
# their version blocks (and that the distribution's read-me and README.md
# state), and the stripped copies of the binaries the distribution ships.

# The add-in's version is written "1999-222" in its texts; the installer, a
# program of its own, has its own.
set(ADDIN_VERSION_MAJOR 1999)
set(ADDIN_VERSION_MINOR 222)
set(ADDIN_VERSION_TEXT "${ADDIN_VERSION_MAJOR}-${ADDIN_VERSION_MINOR}")
set(INSTALLER_VERSION 1.0.0.1)

# README.md names the release the build makes; a README that names another
# one is caught here rather than by a reader.
file(READ ${CMAKE_SOURCE_DIR}/README.md readme_text)
string(FIND "${readme_text}" "ZELM_Compact.dll ${ADDIN_VERSION_TEXT}, Dravik_Installer.exe ${INSTALLER_VERSION}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "README.md does not name the release this build makes: "
          "\"ZELM_Compact.dll ${ADDIN_VERSION_TEXT}, Dravik_Installer.exe ${INSTALLER_VERSION}\" (cmake/Release.cmake)")
endif()

# Writes the header a resource script includes for its version block:
# <PREFIX>_VERSION_BINARY (four numbers) and <PREFIX>_VERSION_TEXT.
function(write_version_header path prefix binary text)
  file(CONFIGURE OUTPUT ${path} CONTENT
"// Written by cmake/Release.cmake: change the version there.
#define ${prefix}_VERSION_BINARY ${binary}
#define ${prefix}_VERSION_TEXT \"${text}\"
")
endfunction()

# The binary as it ships: stripped of its debugging information, which goes
# into symbols/<file>.debug beside it in the build tree, linked to the binary
# by name and checksum (.gnu_debuglink), so a debugger given the symbols
# folder finds them. Never put the symbols into the distribution.
# MSVC keeps its symbols in a .pdb beside the build already: the binary is
# copied as it is.
function(add_shipped_binary target output_dir)
  set(shipped ${output_dir}/$<TARGET_FILE_NAME:${target}>)
  set(symbols ${output_dir}/symbols/$<TARGET_FILE_NAME:${target}>.debug)
  if(MSVC OR NOT CMAKE_OBJCOPY)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${shipped})
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}/symbols
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${symbols}
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${symbols} $<TARGET_FILE:${target}> ${shipped}
    COMMENT "Stripping $<TARGET_FILE_NAME:${target}> for shipping; its symbols go to symbols/")
endfunction()
