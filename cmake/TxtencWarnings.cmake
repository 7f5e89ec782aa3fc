# Warnings for our own targets only; third-party sources keep their own habits.
function(txtenc_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(TXTENC_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
