# Warnings on, for every target of the project.
function(korva_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
