# How a deliverable is shipped:
#   glz_ship(<target>)
# Unused code and data are dropped at link time, and the debug information (ours and that of the
# statically linked run-time) is moved out of the shipped file into build/debug/<file>.debug,
# which the file names through a debug link, so a debugger still finds it.
include_guard(GLOBAL)

find_program(GLZ_OBJCOPY x86_64-w64-mingw32-objcopy REQUIRED)

function(glz_ship target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
  set(debug_dir ${CMAKE_BINARY_DIR}/debug)
  set(debug_file ${debug_dir}/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${debug_dir}
    COMMAND ${GLZ_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug_file}
    COMMAND ${GLZ_OBJCOPY} --strip-all --add-gnu-debuglink=${debug_file} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

# Code that runs inside other programs: each function and datum in a section of its own, so that
# the link keeps only what is used; and unwind tables for every function, so that a host's own
# exception passes through our frames to the host's handler.
function(glz_in_host_code target)
  target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections -fasynchronous-unwind-tables)
endfunction()
