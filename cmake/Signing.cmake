# vantelo_sign_after_build(TARGET): signs the target's file after each build of
# it, when the environment names a signing certificate and key (see
# SignFile.cmake, which does nothing otherwise).
function(vantelo_sign_after_build target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:${target}>
            -P ${PROJECT_SOURCE_DIR}/cmake/SignFile.cmake
    VERBATIM)
endfunction()
